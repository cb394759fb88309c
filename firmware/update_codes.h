#pragma once
// Result codes of the firmware update. The update's own codes are 0x200000nn, laid out so
// that their low byte names their entry of the update messages; the rest are system error
// numbers in Windows' numbering, used on every platform, so a result reads the same wherever
// Pellorin runs.

#include <cstdint>

namespace firmware::result {
constexpr int kOk = 0;
constexpr int kBadReply = 13; // wrong tag, a status above 3, or no image
constexpr int kOutOfMemory = 14;
// A feature or input report transfer failed ("a device attached to the system is not
// functioning"): hidapi says that a transfer failed, not why.
constexpr int kDeviceFailure = 31;
constexpr int kWaitTimeout = 258; // no input report within the reply time limit
constexpr int kNoMoreItems = 259; // no device answers to the ids
constexpr int kImageMismatch = 0x20000004;
// The configuration read back differs from the block written ("Program hardware options
// failed !"); the procedure tells it as "Firmware update failed !".
constexpr int kConfigMismatch = 0x20000005;
constexpr int kNoUpdateDevice = 0x20000007;
constexpr int kStatusChecksum = 0x20000008;
constexpr int kStatusVoltage = 0x20000009;
constexpr int kStatusNoResponse = 0x2000000A;
} // namespace firmware::result
