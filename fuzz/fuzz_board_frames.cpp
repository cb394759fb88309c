// The virtual board's frame parser on any byte stream, cut into pieces of any size: it takes
// the same frames as from the stream in one piece, and every reply it gives passes the host's
// reply check, every item the host's item check. The first byte picks the chip, the second
// how the stream is cut.

#include "fuzz_check.h"

#include "link/frames.h"
#include "sim/board_model.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

CommandFrame hostFrame(const sim::Frame &frame) {
    CommandFrame copy;
    std::copy(frame.begin(), frame.end(), copy.begin());
    return copy;
}

bool frameChecksumOk(const sim::Frame &frame) {
    return frame[5] == FrameChecksum(frame[2], frame[3], frame[4]);
}

// Pairs each frame taken since `first` with what the board sent for it.
void checkAnswers(const sim::BoardModel &board, size_t first,
                  const std::vector<sim::Emission> &sent, sim::Chip chip) {
    size_t next = 0;
    for (size_t i = first; i < board.frames().size(); ++i) {
        const sim::Frame &frame = board.frames()[i];
        FUZZ_CHECK(frame[0] == kFrameLead);
        const bool acquire = frame[2] == command::kAcquire && frameChecksumOk(frame);
        if (acquire) {
            if (next < sent.size() && sent[next].startsStream)
                ++next;
            continue;
        }
        FUZZ_CHECK(next < sent.size());
        const sim::Emission &answer = sent[next++];
        FUZZ_CHECK(!answer.startsStream && answer.bytes.size() == kReplySize);
        const ReplyFrame reply{answer.bytes[0], answer.bytes[1], answer.bytes[2]};
        FUZZ_CHECK(ReplyChecksumOk(hostFrame(frame), reply));
        if (!frameChecksumOk(frame))
            FUZZ_CHECK(reply[0] == sim::kStatusBadFrameChecksum);
        else if (frame[1] != static_cast<uint8_t>(chip))
            FUZZ_CHECK(reply[0] == sim::kStatusWrongChip);
    }
    FUZZ_CHECK(next == sent.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    const sim::Chip chip = data[0] & 1 ? sim::Chip::VXC5480 : sim::Chip::VXC5420;
    const size_t piece = data[1] % 8 + 1;
    const uint8_t *stream = data + 2;
    const size_t length = size - 2;

    sim::BoardModel whole(chip);
    whole.receive(stream, length);
    whole.lineIdle();

    sim::BoardModel cut(chip);
    for (size_t at = 0; at < length; at += piece) {
        const size_t before = cut.frames().size();
        const std::vector<sim::Emission> sent =
            cut.receive(stream + at, std::min(piece, length - at));
        checkAnswers(cut, before, sent, chip);
    }
    const size_t before = cut.frames().size();
    checkAnswers(cut, before, cut.lineIdle(), chip);
    FUZZ_CHECK(cut.frames() == whole.frames());

    sim::StreamStep step;
    for (int i = 0; i < 64 && cut.streaming() && cut.nextStreamStep(step); ++i) {
        FUZZ_CHECK(step.bytes.size() == kItemSize && !step.hangUp);
        FUZZ_CHECK(ItemChecksumOk(step.bytes.data()));
    }
    return 0;
}
