// The scan against the virtual board of each chip: every row reads its input's voltage
// through the gain, the scan sends only MUX writes and acquisitions, and MUX goes back to what
// it held. Then one table of faults.

#include "scan_board.h"

#include "link/result_codes.h"
#include "platform/message_service.h"
#include "scan/scan_engine.h"
#include "tests/support/time_limits.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using scan::ScanInput;
using scantest::ScanBoard;

namespace {

constexpr int kCount = 200;

using Frame = std::array<uint8_t, 6>;

Frame writeFrame(sim::Chip chip, uint8_t address, uint8_t value) {
    return BuildCommandFrame(static_cast<int>(chip), command::kWriteRegister, address, value);
}

// What a scan must send: the MUX read, then a MUX write before each acquisition that changes
// it, and the MUX it held written back at the end when the last one differs.
std::vector<Frame> expectedFrames(sim::Chip chip, const scan::ScanSettings &settings,
                                  uint8_t before) {
    const panel_common::MuxLayout &layout = scantest::LayoutOf(chip);
    const int id = static_cast<int>(chip);
    std::vector<Frame> frames{BuildCommandFrame(id, command::kReadRegister, layout.address, 0)};
    int last = -1;
    for (int r = 0; r < settings.repeats; ++r) {
        for (const ScanInput &input : settings.inputs) {
            const uint8_t mux = layout.muxByte(before, input.positive, input.negative);
            if (mux != last)
                frames.push_back(writeFrame(chip, layout.address, mux));
            last = mux;
            frames.push_back(BuildAcquisitionFrame(
                id, static_cast<uint16_t>(settings.count + settings.discard)));
        }
    }
    if (last != before)
        frames.push_back(writeFrame(chip, layout.address, before));
    return frames;
}

struct InputsCase {
    const char *name;
    sim::Chip chip;
    std::function<std::vector<ScanInput>(const panel_common::MuxLayout &)> inputs;
    uint8_t muxBefore;
    int repeats;
};

class ScanReadsInputs : public ::testing::TestWithParam<InputsCase> {};

TEST_P(ScanReadsInputs, EveryRowReadsItsInputThroughTheGainAndMuxGoesBack) {
    const InputsCase &c = GetParam();
    ScanBoard rig(c.chip);
    ASSERT_TRUE(rig.ready());
    const panel_common::MuxLayout &layout = scantest::LayoutOf(c.chip);
    rig.board().setRegisterValue(layout.address, c.muxBefore);
    rig.board().clearReceivedFrames();

    scan::ScanSettings settings;
    settings.inputs = c.inputs(layout);
    settings.count = kCount;
    settings.repeats = c.repeats;
    // As the window and the command line do: the conversions the chip still settles go first.
    settings.discard = scan::DefaultDiscard(scantest::BoardFacts(rig.board()));
    ASSERT_FALSE(settings.inputs.empty());
    platform::MessageRecorder messages;
    int measured = 0;
    scan::ScanHooks hooks;
    hooks.rowMeasured = [&](int, const scan::ScanRow &) { ++measured; };
    const scan::ScanOutcome outcome = scan::RunScan(rig.session(), settings, layout, hooks);

    EXPECT_TRUE(outcome.complete());
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(measured, int(settings.inputs.size()) * c.repeats);
    const double lsbVolts = scantest::BoardLsbVolts(rig.board());
    ASSERT_EQ(outcome.rows.size(), settings.inputs.size());
    for (const scan::ScanRow &row : outcome.rows) {
        const scan::RowFigures f = scan::SummarizeRow(row);
        const double expected = scantest::InputVolts(c.chip, row.input);
        // The 2-channel chip has no calibration: its own gain error (under 0.5 %) and offset
        // (about 12 uV) stay in its codes.
        EXPECT_NEAR(f.mean * lsbVolts, expected, 0.01 * std::abs(expected) + 20e-6)
            << scan::InputLabel(layout, row.input).toStdString();
        EXPECT_EQ(f.repeats, c.repeats);
        EXPECT_EQ(f.samples, int64_t{kCount} * c.repeats);
        EXPECT_EQ(f.clipped, 0);
    }
    EXPECT_EQ(rig.board().receivedFrames(), expectedFrames(c.chip, settings, c.muxBefore));
    EXPECT_EQ(rig.board().registerValue(layout.address), c.muxBefore);
    EXPECT_EQ(rig.session().busy().acquiring, 0);
}

INSTANTIATE_TEST_SUITE_P(
    BothChips, ScanReadsInputs,
    ::testing::Values(
        InputsCase{"EightChannelSingleEnded", sim::Chip::VXC5480, scan::SingleEndedInputs, 0x23, 1},
        InputsCase{"EightChannelPairsRepeated", sim::Chip::VXC5480, scan::PairInputs, 0x01, 2},
        // Both ways round, from a MUX the panel would not write (AIN+ and AIN- on AIN1).
        InputsCase{"TwoChannelBothWays", sim::Chip::VXC5420, scan::InputChoices, 0x11, 1},
        // The last input is what MUX held: nothing to put back.
        InputsCase{"TwoChannelEndingWhereItStarted", sim::Chip::VXC5420,
                   [](const panel_common::MuxLayout &) {
                       return std::vector<ScanInput>{{0, 1}, {1, 0}};
                   },
                   0x10, 1}),
    [](const auto &info) { return std::string(info.param.name); });

// An acquisition, a register transfer or a calibration holds the board: nothing is sent.
TEST(ScanEngine, RefusedWhileAnotherOperationHoldsTheBoard) {
    ScanBoard rig(sim::Chip::VXC5480);
    ASSERT_TRUE(rig.ready());
    BusyFlags &busy = rig.session().busy();
    scan::ScanSettings settings;
    settings.inputs = scan::PairInputs(vxc5480::kMuxLayout);
    const std::pair<const char *, int *> holders[] = {{"acquiring", &busy.acquiring},
                                                      {"registerBusy", &busy.registerBusy},
                                                      {"calibrating", &busy.calibrating}};
    for (const auto &[name, flag] : holders) {
        SCOPED_TRACE(name);
        *flag = 1;
        const scan::ScanOutcome outcome =
            scan::RunScan(rig.session(), settings, vxc5480::kMuxLayout, {});
        *flag = 0;
        EXPECT_EQ(outcome.fault, scan::ScanFault::Busy);
    }
    EXPECT_TRUE(rig.board().receivedFrames().empty());
    EXPECT_FALSE(busy.any());
}

// Each fault strikes input 2 of the scan (counted from 0); the rows before it stay, the box
// says what failed, and MUX goes back where the board still answers.
struct FaultCase {
    const char *name;
    sim::Faults faults;
    scan::ScanFault fault;
    int result;
    const char *message;
    int rowsMeasured;
    scan::MuxPutBack putBack;
    bool silence; // the fault is silence: shorter time limits keep the test quick
};

sim::Faults faultsOf(std::function<void(sim::Faults &)> set) {
    sim::Faults faults;
    set(faults);
    return faults;
}

const FaultCase kFaults[] = {
    {"MuxReadFails", faultsOf([](sim::Faults &f) { f.statusForAddress[0x01] = 2; }),
     scan::ScanFault::MuxRead, result::kBadReply, "Read Register Address 01 Failed !", 0,
     scan::MuxPutBack::NotNeeded, false},
    // Writes 0 and 1 are inputs 0 and 1; write 2 switches to input 2.
    {"MuxWriteFailsAtTheThirdInput", faultsOf([](sim::Faults &f) {
         f.failingWrite = 2;
         f.failingWriteStatus = 2;
     }),
     scan::ScanFault::MuxWrite, result::kBadReply, "Write Register Address 01 Failed !", 2,
     scan::MuxPutBack::Done, false},
    {"ItemsStopAtTheThirdInput", faultsOf([](sim::Faults &f) {
         f.faultyAcquisition = 2;
         f.stopAfterItems = 50;
     }),
     scan::ScanFault::Items, result::kTimeout, "Get item 50 failed !", 2, scan::MuxPutBack::Done,
     true},
    {"BadItemChecksumAtTheThirdInput", faultsOf([](sim::Faults &f) {
         f.faultyAcquisition = 2;
         f.badItemIndex = 7;
     }),
     scan::ScanFault::ItemChecksum, result::kBadReply, "The checksum of item 7 is invalid !", 2,
     scan::MuxPutBack::Done, false},
    // A board that hung up takes nothing back; the user hears of the lost items only.
    {"BoardHangsUpAtTheThirdInput", faultsOf([](sim::Faults &f) {
         f.faultyAcquisition = 2;
         f.hangUpAfterItems = 20;
     }),
     scan::ScanFault::Items, -1, "Get item 20 failed !", 2, scan::MuxPutBack::Failed, false},
};

class ScanFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ScanFaults, RowsBeforeTheFaultStayAndMuxGoesBackWhereTheBoardAnswers) {
    const FaultCase &c = GetParam();
    ScanBoard rig(sim::Chip::VXC5480);
    ASSERT_TRUE(rig.ready());
    constexpr uint8_t kBefore = 0x76;
    rig.board().setRegisterValue(vxc5480::kMux, kBefore);
    rig.board().setFaults(c.faults);
    std::optional<ExpectSilence> silence;
    if (c.silence)
        silence.emplace(&rig.link());

    scan::ScanSettings settings;
    settings.inputs = scan::SingleEndedInputs(vxc5480::kMuxLayout);
    settings.count = kCount;
    platform::MessageRecorder messages;
    const scan::ScanOutcome outcome =
        scan::RunScan(rig.session(), settings, vxc5480::kMuxLayout, {});
    silence.reset();

    EXPECT_EQ(outcome.fault, c.fault);
    if (c.result >= 0) {
        EXPECT_EQ(outcome.result, c.result);
    } else {
        EXPECT_GE(outcome.result, result::kPortErrorBase);
    }
    EXPECT_EQ(messages.texts(), QStringList{QLatin1String(c.message)});
    int measured = 0;
    for (const scan::ScanRow &row : outcome.rows)
        measured += row.repeats.empty() ? 0 : 1;
    EXPECT_EQ(measured, c.rowsMeasured);
    for (int i = 0; i < c.rowsMeasured; ++i)
        EXPECT_EQ(outcome.rows[size_t(i)].repeats.size(), 1u) << "row " << i;
    if (c.rowsMeasured > 0) {
        EXPECT_EQ(outcome.faultAt.input, c.rowsMeasured);
    }
    EXPECT_EQ(outcome.putBack, c.putBack);
    if (c.putBack != scan::MuxPutBack::Failed) {
        EXPECT_EQ(rig.board().registerValue(vxc5480::kMux), kBefore);
    }
    EXPECT_EQ(rig.session().busy().acquiring, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, ScanFaults, ::testing::ValuesIn(kFaults),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
