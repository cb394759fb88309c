// The virtual board in time, through the program's own serial transport: conversions at the
// chip's data rate, items no faster than the wire, the newest conversion above the wire's rate,
// a host that stops reading losing conversions instead of stalling the board, and settling
// after a MUX write as long as the chip's facts say.

#include "chips/vxc5420/chip_facts.h"
#include "chips/vxc5480/chip_facts.h"
#include "link/board_link.h"
#include "link/protocol.h"
#include "link/result_codes.h"
#include "link/serial_transport.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Codes = std::vector<int32_t>;

constexpr double kWireItemsPerSecond = 11520.0 / 4;

struct Write {
    uint8_t address;
    uint8_t value;
};

// Starts the board with the chip's own inputs, or the counting signal, or inputs without noise.
enum class Inputs { Own, Counting, Quiet };

void StartBoard(BoardOnPty &pty, sim::Pacing pacing, Inputs inputs) {
    pty.board().setPacing(pacing);
    sim::SignalModel signal = sim::DefaultSignal(pty.chip());
    signal.counting = inputs == Inputs::Counting;
    if (inputs == Inputs::Quiet)
        signal.noiseVolts = 0.0;
    pty.board().setSignal(signal);
    ASSERT_TRUE(pty.start());
    ASSERT_EQ(pty.detect(), 1);
}

// The 2-channel chip goes to command mode first, so that its CR1 rules.
void Configure(BoardLink &link, sim::Chip chip, const std::vector<Write> &writes) {
    if (chip == sim::Chip::VXC5420) {
        ASSERT_EQ(SendCommand(link, 0x0D, 4), result::kOk);
    }
    for (const Write &w : writes)
        ASSERT_EQ(WriteRegister(link, w.address, w.value), result::kOk);
}

conversion::ConversionFacts Facts(const BoardOnPty &pty) {
    std::array<uint8_t, 11> image{};
    for (uint8_t a = 0; a < image.size(); ++a)
        image[a] = pty.board().registerValue(a);
    const std::span<const uint8_t> registers(image);
    return pty.chip() == sim::Chip::VXC5480 ? vxc5480::Facts(registers.first(11))
                                            : vxc5420::Facts(registers.first(6), 4);
}

void RequestItems(BoardLink &link, sim::Chip chip, int count) {
    const uint8_t code = 0x0F, high = static_cast<uint8_t>(count >> 8);
    const uint8_t low = static_cast<uint8_t>(count);
    const uint8_t frame[6] = {0x55, static_cast<uint8_t>(chip),
                              code, high,
                              low,  static_cast<uint8_t>(~(code + high + low))};
    ASSERT_EQ(link.writeFrame(frame, kWriteWaitMs), result::kOk);
}

// Reads count items, a few hundred per read so that each read stays within its time limit.
Codes ReadItems(BoardLink &link, int count) {
    Codes codes;
    std::vector<uint8_t> bytes;
    while (static_cast<int>(codes.size()) < count) {
        const int chunk = std::min(count - static_cast<int>(codes.size()), 256);
        bytes.resize(static_cast<size_t>(chunk) * 4);
        if (link.readBytes(bytes.data(), static_cast<uint32_t>(bytes.size())) != result::kOk)
            break;
        for (size_t i = 0; i < bytes.size(); i += 4) {
            EXPECT_EQ(bytes[i + 3], static_cast<uint8_t>(bytes[i] + bytes[i + 1] + bytes[i + 2]));
            const int32_t raw = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
            codes.push_back((raw & 0x800000) ? raw - 0x1000000 : raw);
        }
    }
    return codes;
}

Codes Acquire(BoardLink &link, sim::Chip chip, int count) {
    RequestItems(link, chip, count);
    return ReadItems(link, count);
}

// Waits for the event, at most the tests' generous bound; false when it never came.
bool WaitFor(const std::function<bool()> &happened) {
    const auto end = Clock::now() + std::chrono::milliseconds(kEventWaitLimitMs);
    while (!happened()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

struct PaceCase {
    const char *name;
    sim::Chip chip;
    std::vector<Write> writes;
    int items;
};

void PrintTo(const PaceCase &c, std::ostream *out) {
    *out << c.name;
}

class BoardPace : public ::testing::TestWithParam<PaceCase> {};

// The items take at least as long as the slower of the chip's conversions and the wire's bytes;
// nothing is lost while the program reads.
TEST_P(BoardPace, ItemsComeNoFasterThanConversionsAndTheWire) {
    const PaceCase &c = GetParam();
    BoardOnPty pty(c.chip);
    StartBoard(pty, sim::Pacing::Real, Inputs::Own);
    Configure(pty.link(), c.chip, c.writes);
    const double rate = Facts(pty).dataRateSps;
    ASSERT_GT(rate, 0.0);
    pty.board().clearStreamRecord();
    const auto start = Clock::now();
    EXPECT_EQ(Acquire(pty.link(), c.chip, c.items).size(), static_cast<size_t>(c.items));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double itemsPerSecond = std::min(rate, kWireItemsPerSecond);
    EXPECT_GE(seconds, 0.9 * c.items / itemsPerSecond) << rate << " SPS";
    const sim::StreamRecord record = pty.board().streamRecord();
    EXPECT_EQ(record.itemsSent, static_cast<uint64_t>(c.items));
    if (rate <= kWireItemsPerSecond) {
        EXPECT_EQ(record.dropped, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    SlowestAndFastest, BoardPace,
    ::testing::Values(PaceCase{"EightChannelAt2_5Sps", sim::Chip::VXC5480, {{0x03, 0x03}}, 2},
                      PaceCase{"EightChannelAt30000Sps", sim::Chip::VXC5480, {{0x03, 0xF0}}, 600},
                      // CR1: PGA 128 at 10 SPS, PGA 1 at 1280 SPS.
                      PaceCase{"TwoChannelAt10Sps", sim::Chip::VXC5420, {{0x03, 0x70}}, 3},
                      PaceCase{"TwoChannelAt1280Sps", sim::Chip::VXC5420, {{0x03, 0x07}}, 200}),
    [](const auto &info) { return std::string(info.param.name); });

// Above the wire's rate the bridge sends the newest finished conversion whenever the line is
// free: about ten conversions of 30000 SPS go by for each item of 2880 a second.
TEST(BoardPaceAboveTheWire, EachItemIsTheNewestConversion) {
    BoardOnPty pty(sim::Chip::VXC5480);
    StartBoard(pty, sim::Pacing::Real, Inputs::Counting);
    Configure(pty.link(), sim::Chip::VXC5480, {{0x03, 0xF0}});
    pty.board().clearStreamRecord();
    const Codes codes = Acquire(pty.link(), sim::Chip::VXC5480, 300);
    ASSERT_EQ(codes.size(), 300u);
    for (size_t i = 1; i < codes.size(); ++i)
        ASSERT_GE(codes[i] - codes[i - 1], 10) << "item " << i;
    const sim::StreamRecord record = pty.board().streamRecord();
    EXPECT_EQ(record.conversions - record.dropped, 300u);
    // The counting codes start at 0 with the board's first conversion.
    EXPECT_EQ(record.conversions, static_cast<uint64_t>(codes.back()) + 1);
}

// A host that stops reading does not stop the board: the line fills, the chip goes on, and what
// could not go out is lost. The codes jump where the program reads on.
TEST(BoardPaceUnreadLine, ConversionsAreLostInsteadOfTheBoardWaiting) {
    BoardOnPty pty(sim::Chip::VXC5480);
    StartBoard(pty, sim::Pacing::Wire, Inputs::Counting);
    pty.board().clearStreamRecord();
    RequestItems(pty.link(), sim::Chip::VXC5480, 65535);
    Codes codes = ReadItems(pty.link(), 100);
    ASSERT_EQ(codes.size(), 100u);
    ASSERT_TRUE(WaitFor([&] { return pty.board().droppedConversions() > 0; }))
        << "the board waited for the reader";
    // Whatever the line held comes first, in order; the first code after it has jumped.
    bool jumped = false;
    while (!jumped && codes.size() < 40000) {
        const Codes more = ReadItems(pty.link(), 256);
        ASSERT_EQ(more.size(), 256u);
        for (int32_t code : more) {
            ASSERT_GT(code, codes.back());
            jumped = jumped || code - codes.back() > 1;
            codes.push_back(code);
        }
    }
    EXPECT_TRUE(jumped);
    EXPECT_GT(pty.board().droppedConversions(), 0u);
}

struct SettleCase {
    const char *name;
    sim::Chip chip;
    std::vector<Write> writes; // the settings, then the MUX
    uint8_t muxBefore;
    uint8_t muxAfter;
};

void PrintTo(const SettleCase &c, std::ostream *out) {
    *out << c.name;
}

class BoardSettling : public ::testing::TestWithParam<SettleCase> {};

// After a MUX write the first conversions lie between the old input and the new, as many as the
// chip core's facts say; the next one stands at the new input.
TEST_P(BoardSettling, TheFirstConversionsApproachTheNewInput) {
    const SettleCase &c = GetParam();
    BoardOnPty pty(c.chip);
    StartBoard(pty, sim::Pacing::None, Inputs::Quiet);
    Configure(pty.link(), c.chip, c.writes);
    ASSERT_EQ(WriteRegister(pty.link(), 0x01, c.muxBefore), result::kOk);
    const int settling = Facts(pty).settlingConversions;
    ASSERT_GT(settling, 0);
    const int32_t before = Acquire(pty.link(), c.chip, settling + 1).back();
    ASSERT_EQ(WriteRegister(pty.link(), 0x01, c.muxAfter), result::kOk);
    const Codes codes = Acquire(pty.link(), c.chip, settling + 2);
    ASSERT_EQ(codes.size(), static_cast<size_t>(settling + 2));
    const int32_t after = codes.back();
    ASSERT_GT(std::abs(after - before), 1000) << "the inputs must differ";
    EXPECT_EQ(codes[settling], after) << "settled after " << settling << " conversions";
    int32_t previous = before;
    for (int i = 0; i < settling; ++i) {
        EXPECT_GT(std::abs(codes[i] - before), std::abs(previous - before)) << "conversion " << i;
        EXPECT_LT(std::abs(codes[i] - before), std::abs(after - before)) << "conversion " << i;
        EXPECT_EQ((codes[i] > before), (after > before)) << "conversion " << i;
        previous = codes[i];
    }
}

INSTANTIATE_TEST_SUITE_P(
    BothChips, BoardSettling,
    ::testing::Values(
        // AIN0 then AIN7 against AINCOM (5 and 40 mV).
        SettleCase{"EightChannelFast", sim::Chip::VXC5480, {{0x03, 0xF0}}, 0x08, 0x78},
        SettleCase{"EightChannelSlow", sim::Chip::VXC5480, {{0x03, 0x03}}, 0x78, 0x08},
        // AIN1 - AIN0, then the pair reversed, at PGA 128 and 1280 SPS.
        SettleCase{"TwoChannel", sim::Chip::VXC5420, {{0x03, 0x77}}, 0x10, 0x01}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
