#pragma once
// The bridge's byte protocol: 6-byte command frames, 3-byte replies, 4-byte acquisition items.
// Pure computations, no I/O.

#include <array>
#include <cstdint>

namespace command {
constexpr uint8_t kWriteRegister = 0x01;
constexpr uint8_t kReadRegister = 0x02;
constexpr uint8_t kSelfCalibration = 0x03;
constexpr uint8_t kSelfOffsetCalibration = 0x04;
constexpr uint8_t kSelfGainCalibration = 0x05;
constexpr uint8_t kSystemOffsetCalibration = 0x06;
constexpr uint8_t kSystemGainCalibration = 0x07;
constexpr uint8_t kStandby = 0x08;
constexpr uint8_t kPowerDown = 0x09;
constexpr uint8_t kDetectSecond = 0x0A;
constexpr uint8_t kWakeup = 0x0C;
constexpr uint8_t kSetMode = 0x0D;
constexpr uint8_t kAcquire = 0x0F;
constexpr uint8_t kDetectFirst = 0xF0;
} // namespace command

constexpr uint8_t kFrameLead = 0x55;
constexpr int kFrameSize = 6;
constexpr int kReplySize = 3;
constexpr int kItemSize = 4;
// The most items one acquisition request can ask for: its count travels in the two 8-bit
// parameters. Every limit of a request's items (data count, capture block, scan) is this one.
constexpr int kMaxItemsPerRequest = 65535;

// The line: 115200 baud, 8 data bits, no parity, one stop bit: 10 bits on the wire a byte.
constexpr int kBaudRate = 115200;
constexpr int kBitsPerByte = 10;
// The most acquisition items the line carries in a second (2880): a chip converting faster
// than this still reaches the program at this rate at most.
constexpr double kWireItemsPerSecond = static_cast<double>(kBaudRate) / (kBitsPerByte * kItemSize);

using CommandFrame = std::array<uint8_t, kFrameSize>;
using ReplyFrame = std::array<uint8_t, kReplySize>;

// Complement of the 8-bit sum of the code and both parameters; lead and chip id are not covered.
uint8_t FrameChecksum(uint8_t code, uint8_t param1, uint8_t param2);

CommandFrame BuildCommandFrame(int chipId, uint8_t code, uint8_t param1, uint8_t param2);

// The acquisition request: the count's high and low bytes as the two parameters.
CommandFrame BuildAcquisitionFrame(int chipId, uint16_t count);

// What a good reply carries in its last byte: a plain sum of the sent code and first parameter
// with the reply's data byte for a register read, or the sent second parameter otherwise.
uint8_t ExpectedReplyChecksum(const CommandFrame &sent, uint8_t replyData);

// The reply check: its last byte against what the sent frame and its data byte give. The
// status byte is not covered; a reply that fails here is judged before its status is.
bool ReplyChecksumOk(const CommandFrame &sent, const ReplyFrame &reply);

// Text shown for a nonzero status of a well-formed reply.
const char *StatusMessage(uint8_t status);

// An acquisition item: 24-bit two's complement, most significant byte first, plus checksum.
bool ItemChecksumOk(const uint8_t *item);
int32_t ItemValue(const uint8_t *item);
