#include "protocol.h"

#include "chip_catalog.h"
#include "frames.h"
#include "result_codes.h"
#include "serial_transport.h"

#include "platform/message_service.h"

int g_chipId = 0;
QString g_chipName;

namespace {
struct Reply {
    int result = result::kOk;
    ReplyFrame bytes{};
};

Reply exchange(uint8_t code, uint8_t param1, uint8_t param2, uint32_t writeWaitMs,
               int chipId = g_chipId) {
    const CommandFrame frame = BuildCommandFrame(chipId, code, param1, param2);
    Reply reply;
    reply.result = WriteFrame(frame.data(), writeWaitMs);
    if (reply.result == result::kOk)
        reply.result = ReadBytes(reply.bytes.data(), kReplySize);
    if (reply.result == result::kOk && !ReplyChecksumOk(frame, reply.bytes))
        reply.result = result::kBadReply;
    return reply;
}
} // namespace

int SendCommand(uint8_t code, uint8_t argument) {
    const Reply reply = exchange(code, argument, 0, kWriteWaitMs);
    if (reply.result != result::kOk)
        return reply.result;
    if (reply.bytes[0] != 0) {
        platform::ShowMessage(nullptr, QString::fromLatin1(StatusMessage(reply.bytes[0])),
                              QStringLiteral("Error"));
        return result::kBadReply;
    }
    return result::kOk;
}

int WriteRegister(uint8_t address, uint8_t value) {
    const Reply reply = exchange(command::kWriteRegister, address, value, kWriteWaitMs);
    if (reply.result != result::kOk)
        return reply.result;
    return reply.bytes[0] == 0 ? result::kOk : result::kBadReply;
}

int ReadRegister(uint8_t address, uint8_t &value) {
    const Reply reply = exchange(command::kReadRegister, address, 0, kRegisterReadWriteWaitMs);
    if (reply.result != result::kOk)
        return reply.result;
    if (reply.bytes[0] != 0) {
        value = 0;
        return result::kBadReply;
    }
    value = reply.bytes[1];
    return result::kOk;
}

int ProbeChip(int chipId) {
    const Reply reply = exchange(command::kDetectFirst, 0, 0, kWriteWaitMs, chipId);
    if (reply.result != result::kOk)
        return reply.result;
    return reply.bytes[0] == 0 ? result::kOk : result::kBadReply;
}

int DetectEvm() {
    const int number = ScanPorts([] {
        return SendCommand(command::kDetectFirst, 0) == result::kOk &&
               SendCommand(command::kDetectSecond, 0) == result::kOk;
    });
    const ChipCatalogEntry *chip = FindChip(g_chipId);
    if (number > 0) {
        if (chip)
            g_chipName = QString::fromLatin1(chip->name);
        return number;
    }
    if (chip) {
        platform::ShowMessage(nullptr,
                              QStringLiteral("Can't find %1 !").arg(QLatin1String(chip->name)),
                              QStringLiteral("Error"));
    }
    return -1;
}
