#include "update_requests.h"

#include <algorithm>

namespace firmware {
namespace {
void putLe32(uint8_t *p, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}
} // namespace

std::array<uint8_t, 36> ConfigWriteBlock() {
    std::array<uint8_t, 36> block;
    block.fill(0xFF);
    std::copy(kConfigBlock.begin(), kConfigBlock.end(), block.begin());
    return block;
}

uint16_t Sum16(const uint8_t *bytes, std::size_t count) {
    uint32_t sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<uint16_t>(sum);
}

UpdateRequestBlock BuildUpdateRequest(uint8_t tag, uint16_t code, uint32_t address, uint32_t length,
                                      uint16_t sum) {
    UpdateRequestBlock block{};
    block[0] = kRequestLead;
    block[1] = tag;
    block[2] = static_cast<uint8_t>(code >> 8);
    block[3] = static_cast<uint8_t>(code);
    putLe32(&block[4], address);
    putLe32(&block[8], length);
    block[12] = static_cast<uint8_t>(sum);
    block[13] = static_cast<uint8_t>(sum >> 8);
    return block;
}

bool IsKnownIdentity(const uint8_t identity[4]) {
    const bool plain = identity[0] == 0x10 && identity[1] == 0xC0 && identity[2] == 0x05;
    const bool complement = identity[0] == 0xEF && identity[1] == 0x3F && identity[2] == 0xFA;
    return plain || complement;
}

uint8_t MakeTag(uint32_t tickCount, uint32_t randomNumber) {
    return static_cast<uint8_t>((tickCount & 0xFF) * (randomNumber & 0xFF));
}

Reply ParseReply(const uint8_t report[kInputReportSize]) {
    Reply reply;
    reply.tag = report[1];
    reply.status = static_cast<uint16_t>(report[3] | report[4] << 8);
    reply.voltageMillivolts = static_cast<uint16_t>(report[5] | report[6] << 8);
    return reply;
}

bool VoltageOutOfRange(uint16_t millivolts) {
    const double volts = millivolts / 1000.0;
    return volts < 18.0 || volts > 55.0;
}

std::size_t FeatureReportCount(std::size_t length) {
    return (length + kFeaturePayloadSize - 1) / kFeaturePayloadSize;
}

} // namespace firmware
