// The host's checks of the bridge protocol against the arithmetic they stand for: command
// frames, the reply check, status texts, and the acquisition items with their conversion.
// Input: chip id (4 bytes), code, two parameters, a 3-byte reply, then any number of items.

#include "fuzz_check.h"

#include "acquisition/samples.h"
#include "link/frames.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

void checkFrameAndReply(const uint8_t *data) {
    int32_t chipId;
    std::memcpy(&chipId, data, sizeof chipId);
    const uint8_t code = data[4], param1 = data[5], param2 = data[6];
    const ReplyFrame reply{data[7], data[8], data[9]};

    const CommandFrame frame = BuildCommandFrame(chipId, code, param1, param2);
    FUZZ_CHECK(frame[0] == 0x55 && frame[1] == static_cast<uint8_t>(chipId & 0xFF));
    FUZZ_CHECK(frame[2] == code && frame[3] == param1 && frame[4] == param2);
    // The checksum is the complement of the sum, so the four bytes add up to 0xFF.
    FUZZ_CHECK(static_cast<uint8_t>(frame[2] + frame[3] + frame[4] + frame[5]) == 0xFF);
    if (code == command::kAcquire) {
        FUZZ_CHECK(BuildAcquisitionFrame(chipId, static_cast<uint16_t>(param1 << 8 | param2)) ==
                   frame);
    }

    const unsigned covered = code == command::kReadRegister ? reply[1] : param2;
    const bool good = reply[2] == ((code + param1 + covered) & 0xFF);
    FUZZ_CHECK(ReplyChecksumOk(frame, reply) == good);

    const char *message = StatusMessage(reply[0]);
    FUZZ_CHECK(message != nullptr);
    FUZZ_CHECK((std::strlen(message) == 0) == (reply[0] == 0));
}

void checkItems(const uint8_t *items, int count) {
    int firstBad = -1;
    for (int i = 0; i < count && firstBad < 0; ++i) {
        const uint8_t *item = items + 4 * i;
        if (((item[0] + item[1] + item[2]) & 0xFF) != item[3])
            firstBad = i;
    }
    FUZZ_CHECK(FirstBadItem(items, count) == firstBad);

    std::vector<int32_t> samples{1, 2, 3};
    FUZZ_CHECK(ConvertSamples(items, count, samples) == 0);
    FUZZ_CHECK(samples.size() == static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const uint8_t *item = items + 4 * i;
        const int32_t value = samples[static_cast<size_t>(i)];
        FUZZ_CHECK(value >= -8388608 && value <= 8388607);
        FUZZ_CHECK(static_cast<uint32_t>(value & 0xFFFFFF) ==
                   (uint32_t{item[0]} << 16 | uint32_t{item[1]} << 8 | item[2]));
        FUZZ_CHECK(ItemValue(item) == value);
        FUZZ_CHECK(ItemChecksumOk(item) == (i != firstBad || firstBad < 0));
        if (firstBad >= 0 && i == firstBad)
            break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 10)
        return 0;
    checkFrameAndReply(data);
    // Copied, so that reading one byte past the items is a finding.
    const std::vector<uint8_t> items(data + 10, data + 10 + (size - 10) / 4 * 4);
    checkItems(items.data(), static_cast<int>(items.size() / 4));
    return 0;
}
