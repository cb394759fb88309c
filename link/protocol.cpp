#include "protocol.h"

#include "board_link.h"
#include "chip_catalog.h"
#include "frames.h"
#include "result_codes.h"

namespace {
struct Reply {
    int result = result::kOk;
    ReplyFrame bytes{};
};

Reply exchange(BoardLink &link, int chipId, uint8_t code, uint8_t param1, uint8_t param2,
               uint32_t writeWaitMs) {
    const CommandFrame frame = BuildCommandFrame(chipId, code, param1, param2);
    Reply reply;
    reply.result = link.writeFrame(frame.data(), writeWaitMs);
    if (reply.result == result::kOk)
        reply.result = link.readBytes(reply.bytes.data(), kReplySize);
    if (reply.result == result::kOk && !ReplyChecksumOk(frame, reply.bytes))
        reply.result = result::kBadReply;
    return reply;
}

Reply exchange(BoardLink &link, uint8_t code, uint8_t param1, uint8_t param2,
               uint32_t writeWaitMs) {
    return exchange(link, link.chipId(), code, param1, param2, writeWaitMs);
}
} // namespace

int SendCommand(BoardLink &link, uint8_t code, uint8_t argument) {
    const Reply reply = exchange(link, code, argument, 0, kWriteWaitMs);
    if (reply.result != result::kOk)
        return reply.result;
    if (reply.bytes[0] != 0) {
        link.tell({QString::fromLatin1(StatusMessage(reply.bytes[0])), QStringLiteral("Error")});
        return result::kBadReply;
    }
    return result::kOk;
}

int WriteRegister(BoardLink &link, uint8_t address, uint8_t value) {
    const Reply reply = exchange(link, command::kWriteRegister, address, value, kWriteWaitMs);
    if (reply.result != result::kOk)
        return reply.result;
    return reply.bytes[0] == 0 ? result::kOk : result::kBadReply;
}

int ReadRegister(BoardLink &link, uint8_t address, uint8_t &value) {
    const Reply reply =
        exchange(link, command::kReadRegister, address, 0, kRegisterReadWriteWaitMs);
    if (reply.result != result::kOk)
        return reply.result;
    if (reply.bytes[0] != 0) {
        value = 0;
        return result::kBadReply;
    }
    value = reply.bytes[1];
    return result::kOk;
}

int ProbeChip(BoardLink &link, int chipId) {
    const Reply reply = exchange(link, chipId, command::kDetectFirst, 0, 0, kWriteWaitMs);
    if (reply.result != result::kOk)
        return reply.result;
    return reply.bytes[0] == 0 ? result::kOk : result::kBadReply;
}

int Handshake(BoardLink &link) {
    for (const uint8_t code : {command::kDetectFirst, command::kDetectSecond}) {
        const Reply reply = exchange(link, code, 0, 0, kWriteWaitMs);
        if (reply.result != result::kOk)
            return reply.result;
        if (reply.bytes[0] != 0)
            return result::kBadReply;
    }
    return result::kOk;
}

int RequestItems(BoardLink &link, int count) {
    const CommandFrame frame = BuildAcquisitionFrame(link.chipId(), static_cast<uint16_t>(count));
    return link.writeFrame(frame.data(), kWriteWaitMs);
}

QString CantFindText(int chipId) {
    const ChipCatalogEntry *chip = FindChip(chipId);
    return QStringLiteral("Can't find %1 !").arg(QLatin1String(chip ? chip->name : ""));
}
