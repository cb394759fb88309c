#include "frames.h"

uint8_t FrameChecksum(uint8_t code, uint8_t param1, uint8_t param2) {
    return static_cast<uint8_t>(~(code + param1 + param2));
}

CommandFrame BuildCommandFrame(int chipId, uint8_t code, uint8_t param1, uint8_t param2) {
    return {kFrameLead, static_cast<uint8_t>(chipId & 0xFF), code, param1,
            param2,     FrameChecksum(code, param1, param2)};
}

CommandFrame BuildAcquisitionFrame(int chipId, uint16_t count) {
    return BuildCommandFrame(chipId, command::kAcquire, static_cast<uint8_t>(count >> 8),
                             static_cast<uint8_t>(count & 0xFF));
}

uint8_t ExpectedReplyChecksum(const CommandFrame &sent, uint8_t replyData) {
    const uint8_t covered = sent[2] == command::kReadRegister ? replyData : sent[4];
    return static_cast<uint8_t>(sent[2] + sent[3] + covered);
}

bool ReplyChecksumOk(const CommandFrame &sent, const ReplyFrame &reply) {
    return reply[2] == ExpectedReplyChecksum(sent, reply[1]);
}

const char *StatusMessage(uint8_t status) {
    switch (status) {
    case 0:
        return "";
    case 1:
        return "DUT Disconnect";
    case 2:
        return "DUT No Response";
    case 3:
        return "AP Command Timeout ";
    default:
        return "Unknown Error";
    }
}

bool ItemChecksumOk(const uint8_t *item) {
    return static_cast<uint8_t>(item[0] + item[1] + item[2]) == item[3];
}

int32_t ItemValue(const uint8_t *item) {
    uint32_t value = (uint32_t{item[0]} << 16) | (uint32_t{item[1]} << 8) | item[2];
    if (item[0] & 0x80)
        value |= 0xFF000000u;
    return static_cast<int32_t>(value);
}
