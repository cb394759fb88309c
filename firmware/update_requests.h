#pragma once
// The update protocol's bytes: 128-byte tagged requests, the replies' layout, the 16-bit sum,
// the configuration block and the known identities. Pure computations, no I/O.

#include <array>
#include <cstddef>
#include <cstdint>

namespace firmware {

constexpr std::size_t kRequestSize = 128;
constexpr std::size_t kFeatureReportSize = 129; // report id 0, then 128 payload bytes
constexpr std::size_t kFeaturePayloadSize = 128;
constexpr std::size_t kInputReportSize = 65; // report id, then 64 data bytes
constexpr uint8_t kRequestLead = 0x55;

using UpdateRequestBlock = std::array<uint8_t, kRequestSize>;

// Command (high byte) and sub-command (low byte) of each request, in the order of an update.
namespace request {
constexpr uint16_t kOpening = 0x010D;
constexpr uint16_t kSetUp = 0x010A;
constexpr uint16_t kIdentification = 0x0409;
constexpr uint16_t kPreparation = 0x0202;
constexpr uint16_t kConfigWrite = 0x0502;
constexpr uint16_t kConfigReadBack = 0x0602;
constexpr uint16_t kImageWrite = 0x0501;
constexpr uint16_t kImageReadBack = 0x0605;
constexpr uint16_t kFinishing = 0x0104;
constexpr uint16_t kEnd = 0x010E;
} // namespace request

// The 32 constant bytes of the configuration write.
constexpr std::array<uint8_t, 32> kConfigBlock{
    0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFD, 0xFF, 0xFF, 0xCF, 0xFF, 0xFF, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xCF, 0xED, 0xFF, 0xFF, 0xFF, 0xFF, 0xC8, 0xFF, 0xFF, 0xFF};

// What the configuration write sends: the block, then four erased bytes (FF FF FF FF), 36 in
// all, as many as the request announces and its sum covers.
std::array<uint8_t, 36> ConfigWriteBlock();

// Sum of all bytes modulo 65536.
uint16_t Sum16(const uint8_t *bytes, std::size_t count);

// Lead, tag, command, sub-command; address at 4, length at 8 and sum at 12, little-endian.
UpdateRequestBlock BuildUpdateRequest(uint8_t tag, uint16_t code, uint32_t address = 0,
                                      uint32_t length = 0, uint16_t sum = 0);

// The set-up request carries 0x04 in byte 4 (its address field).
constexpr uint32_t kSetUpValue = 0x04;

// Either 10 C0 05 or its complement EF 3F FA in the first three bytes; the fourth is not looked at.
bool IsKnownIdentity(const uint8_t identity[4]);

// Low 8 bits of (low 8 bits of the tick count) x (low 8 bits of a pseudo-random number).
uint8_t MakeTag(uint32_t tickCount, uint32_t randomNumber);

// Reply layout: byte 1 the tag, bytes 3-4 the status, bytes 5-6 the voltage reading in mV.
struct Reply {
    uint8_t tag = 0;
    uint16_t status = 0;
    uint16_t voltageMillivolts = 0;
};
Reply ParseReply(const uint8_t report[kInputReportSize]);

// A reading in volts outside 18 to 55 (both included) is out of range.
bool VoltageOutOfRange(uint16_t millivolts);

// Number of feature reports a block of this many bytes takes: one per 128 bytes begun.
std::size_t FeatureReportCount(std::size_t length);

} // namespace firmware
