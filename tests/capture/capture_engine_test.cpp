// The capture engine through the real transport against the counting virtual board: blocks
// stitched without a sample lost or doubled in both formats, the stop rules, numbered files,
// a line left quiet for the next exchange after a stop in the middle of a block, blocks sized
// by the chip's data rate, and the samples' times.

#include "capture_file_reader.h"

#include "capture/capture_engine.h"
#include "capture/capture_facts.h"
#include "chips/vxc5420/chip_facts.h"
#include "chips/vxc5420/register_fields.h"
#include "chips/vxc5480/chip_facts.h"
#include "chips/vxc5480/register_fields.h"
#include "link/frames.h"
#include "link/protocol.h"
#include "link/serial_transport.h"
#include "platform/busy_flags.h"
#include "platform/message_service.h"
#include "tests/support/board_on_pty.h"
#include "tests/support/chip_facts_at.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace capture;

namespace {
CaptureFacts FactsAt(double dataRateSps) {
    return MakeFacts("VXC5480", {1, 2, 3}, Vxc5480GainOneAt(dataRateSps),
                     QDateTime::currentDateTime());
}

// The counts of the acquisition requests the board took, in order.
std::vector<int> RequestedCounts(const sim::VirtualBoard &board) {
    std::vector<int> counts;
    for (const auto &frame : board.receivedFrames()) {
        if (frame[2] == 0x0F)
            counts.push_back(frame[3] << 8 | frame[4]);
    }
    return counts;
}

// The engine asks for a stop once before its first request and then after every item: this
// says yes once n items are in.
std::function<bool()> StopAfterItems(int n) {
    return [n, asked = 0]() mutable { return ++asked > n; };
}

std::unique_ptr<BoardOnPty> CountingBoard(sim::Chip chip, sim::Pacing pacing) {
    auto pty = std::make_unique<BoardOnPty>(chip, pacing);
    sim::SignalModel counting = sim::DefaultSignal(chip);
    counting.counting = true;
    pty->board().setSignal(counting);
    if (!pty->start() || pty->detect() != 1)
        return nullptr;
    return pty;
}

class CaptureEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_pty = CountingBoard(sim::Chip::VXC5480, sim::Pacing::None);
        ASSERT_TRUE(m_pty);
        ASSERT_TRUE(m_dir.isValid());
    }

    sim::VirtualBoard &board() { return m_pty->board(); }
    BoardSession &session() { return *m_pty->session(); }
    BoardLink &link() { return m_pty->link(); }
    CaptureSettings settings(const QString &name, FileFormat format = FileFormat::Hdf5) const {
        CaptureSettings s;
        s.path = m_dir.filePath(name);
        s.format = format;
        return s;
    }

    std::unique_ptr<BoardOnPty> m_pty;
    QTemporaryDir m_dir;
};
} // namespace

TEST_F(CaptureEngineTest, BlocksStitchWithoutLossOrDoublingInBothFormats) {
    for (const FileFormat format : {FileFormat::Hdf5, FileFormat::Csv}) {
        const bool hdf5 = format == FileFormat::Hdf5;
        SCOPED_TRACE(hdf5 ? "HDF5" : "CSV");
        board().clearReceivedFrames();
        // Two captures in a row: the second goes on where the first stopped on the board.
        std::vector<int32_t> both;
        for (const char *name : {"a", "b"}) {
            CaptureSettings s =
                settings(QString::fromLatin1(name) + (hdf5 ? ".h5" : ".csv"), format);
            s.blockItems = 1000;
            s.stop = StopRule::Samples;
            s.samples = 2500;
            CaptureEngine engine(session(), s, FactsAt(30000), {});
            const CaptureResult result = engine.run();
            EXPECT_EQ(result.status, CaptureStatus::Ok);
            EXPECT_EQ(result.stoppedBy, "samples");
            EXPECT_EQ(result.samples, 2500);
            EXPECT_EQ(result.blocks, 3);
            EXPECT_EQ(session().busy().acquiring, 0);
            const CaptureFileContents file = ReadCapture(s.path);
            ASSERT_TRUE(file.opened);
            ASSERT_EQ(file.codes.size(), 2500u);
            ASSERT_EQ(file.times.size(), 2500u);
            EXPECT_EQ(file.text.at("stopped_by"), "samples");
            EXPECT_EQ(file.text.at("chip"), "VXC5480");
            EXPECT_FALSE(file.text.at("time_rule").empty());
            if (hdf5) {
                EXPECT_EQ(file.blockFirstSamples, (std::vector<uint64_t>{0, 1000, 2000}));
                EXPECT_EQ(file.blockSamples, (std::vector<uint32_t>{1000, 1000, 500}));
                EXPECT_EQ(file.registers, (std::vector<uint8_t>{1, 2, 3}));
                EXPECT_NEAR(file.numbers.at("volts_per_code"), 10.0 / 16777216.0, 1e-15);
            }
            both.insert(both.end(), file.codes.begin(), file.codes.end());
        }
        EXPECT_TRUE(Consecutive(both));
        EXPECT_EQ(RequestedCounts(board()), (std::vector<int>{1000, 1000, 500, 1000, 1000, 500}));
    }
}

// A stop by hand keeps the item in flight; the rest of the block the board still sends is read
// off the line by the capture, or, when the caller cuts that short, owed to the link, which
// takes it before the next exchange. Either way that exchange gets its own reply.
TEST_F(CaptureEngineTest, StopByHandKeepsTheItemInFlightAndLeavesTheLineQuiet) {
    // At the wire's pace the board is still sending most of the block when the stop comes.
    board().setPacing(sim::Pacing::Wire);
    const struct {
        const char *name;
        bool cutDrainShort;
    } rows[] = {
        {"drained", false},
        {"drain cut short", true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        board().clearSentItemBytes();
        CaptureSettings s = settings(QString::fromLatin1(row.name) + QStringLiteral(".h5"));
        s.blockItems = 3000;
        CaptureHooks hooks;
        hooks.stopRequested = StopAfterItems(500);
        if (row.cutDrainShort)
            hooks.abortDrain = [] { return true; };
        CaptureEngine engine(session(), s, FactsAt(30000), hooks);
        platform::MessageRecorder messages;
        const CaptureResult result = engine.run();
        EXPECT_EQ(result.status, CaptureStatus::Ok);
        EXPECT_EQ(result.stoppedBy, "user");
        EXPECT_EQ(result.samples, 500);
        const CaptureFileContents file = ReadCapture(s.path);
        EXPECT_EQ(file.codes.size(), 500u);
        EXPECT_TRUE(Consecutive(file.codes));
        EXPECT_EQ(file.text.at("stopped_by"), "user");
        EXPECT_EQ(file.blockSamples, (std::vector<uint32_t>{500}));
        if (row.cutDrainShort) {
            EXPECT_GT(link().owedBytes(), 0) << "the rest of the block is owed to the link";
        } else {
            EXPECT_EQ(board().sentItemBytes().size(), 3000u * 4);
            EXPECT_EQ(link().owedBytes(), 0) << "drained by the capture, not left owed";
        }
        const size_t framesBefore = board().receivedFrames().size();
        uint8_t mux = 0xEE;
        EXPECT_EQ(ReadRegister(link(), 0x01, mux), 0);
        EXPECT_EQ(mux, board().registerValue(0x01));
        EXPECT_EQ(board().receivedFrames().size(), framesBefore + 1);
        EXPECT_EQ(link().owedBytes(), 0);
        EXPECT_EQ(board().sentItemBytes().size(), 3000u * 4);
        EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    }
}

TEST_F(CaptureEngineTest, DurationStopsTheRun) {
    CaptureSettings s = settings("timed.csv", FileFormat::Csv);
    s.blockItems = 2000;
    s.stop = StopRule::Duration;
    s.durationMs = 300;
    CaptureEngine engine(session(), s, FactsAt(30000), {});
    const CaptureResult result = engine.run();
    EXPECT_EQ(result.stoppedBy, "duration");
    EXPECT_GE(result.seconds, 0.3);
    const CaptureFileContents file = ReadCapture(s.path);
    EXPECT_EQ(static_cast<int64_t>(file.codes.size()), result.samples);
    EXPECT_TRUE(Consecutive(file.codes));
    uint8_t mux = 0;
    EXPECT_EQ(ReadRegister(link(), 0x01, mux), 0);
}

TEST_F(CaptureEngineTest, AnExistingFileIsLeftAloneAndTheEngineShowsNothing) {
    CaptureSettings s = settings("kept.csv", FileFormat::Csv);
    QFile old(s.path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("precious");
    old.close();
    platform::MessageRecorder messages;
    CaptureEngine engine(session(), s, FactsAt(30000), {});
    const CaptureResult result = engine.run();
    EXPECT_EQ(result.status, CaptureStatus::File);
    EXPECT_TRUE(FaultMessage(result).contains("the file exists")) << result.stoppedBy.toStdString();
    EXPECT_TRUE(RequestedCounts(board()).empty());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "precious");
    // The caller tells the user: the window with a message box, the command line on stderr.
    EXPECT_TRUE(messages.texts().isEmpty());
}

// The board converts at the chip's rate. Per chip, its slowest and fastest rate: the default
// block holds about a second of what arrives, and a stop ends the run within the rest of that
// block.
TEST(CaptureDataRates, BlocksHoldAboutASecondAndAStopEndsWithinOneBlock) {
    const struct {
        sim::Chip chip;
        uint8_t rateCode; // DRATE, or CR1's rate bits in Command Mode
        int block;        // the default block's items
    } rows[] = {
        {sim::Chip::VXC5480, 0x03, 3},    // 2.5 SPS
        {sim::Chip::VXC5480, 0xF0, 2880}, // 30000 SPS, more than the wire's 2880 items/s
        {sim::Chip::VXC5420, 0x00, 10},   // 10 SPS
        {sim::Chip::VXC5420, 0x07, 1280}, // 1280 SPS
    };
    QTemporaryDir dir;
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message()
                     << "chip " << int(row.chip) << " rate " << int(row.rateCode));
        auto pty = CountingBoard(row.chip, sim::Pacing::Real);
        ASSERT_TRUE(pty);
        std::vector<uint8_t> image;
        double rate = 0;
        if (row.chip == sim::Chip::VXC5480) {
            ASSERT_EQ(WriteRegister(pty->link(), vxc5480::kDrate, row.rateCode), 0);
            for (uint8_t a = 0; a < 11; ++a)
                image.push_back(pty->board().registerValue(a));
            rate = vxc5480::Facts(image).dataRateSps;
        } else {
            ASSERT_EQ(SendCommand(pty->link(), command::kSetMode, vxc5420::kCommandMode), 0);
            const uint8_t cr1 = (pty->board().registerValue(vxc5420::kCr1) & 0xF8) | row.rateCode;
            ASSERT_EQ(WriteRegister(pty->link(), vxc5420::kCr1, cr1), 0);
            for (uint8_t a = 0; a < vxc5420::kRegisterCount; ++a)
                image.push_back(pty->board().registerValue(a));
            rate = vxc5420::Facts(image, vxc5420::kCommandMode).dataRateSps;
        }
        pty->board().clearReceivedFrames();

        CaptureSettings s;
        s.path = dir.filePath(QStringLiteral("rate_%1_%2.h5").arg(int(row.chip)).arg(row.rateCode));
        CaptureHooks hooks;
        hooks.stopRequested = StopAfterItems(2);
        CaptureEngine engine(*pty->session(), s, FactsAt(rate), hooks);
        EXPECT_EQ(engine.blockItems(), row.block);
        const CaptureResult result = engine.run();

        EXPECT_EQ(result.status, CaptureStatus::Ok);
        EXPECT_EQ(result.samples, 2);
        const std::vector<int> requests = RequestedCounts(pty->board());
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(requests.front(), row.block);
        // Counted in items: after the stop the board sent at most the rest of its block.
        const size_t sent = pty->board().sentItemBytes().size() / 4;
        EXPECT_LE(sent, 2u + static_cast<size_t>(row.block) + 1);
        EXPECT_TRUE(pty->board().idle());
        const CaptureFileContents file = ReadHdf5Capture(s.path);
        EXPECT_EQ(file.codes.size(), 2u);
        EXPECT_TRUE(StrictlyRising(file.times));
    }
}

// Split files at the chip's pace: each file ends at a block's end near its time (the block
// before a split is cut to end there), and the samples and their times run on across files.
TEST(CaptureSplits, FilesFollowOneAnotherWithoutAGapInSamplesOrTime) {
    for (const FileFormat format : {FileFormat::Hdf5, FileFormat::Csv}) {
        const bool hdf5 = format == FileFormat::Hdf5;
        SCOPED_TRACE(hdf5 ? "HDF5" : "CSV");
        auto pty = CountingBoard(sim::Chip::VXC5480, sim::Pacing::Real);
        ASSERT_TRUE(pty);
        ASSERT_EQ(WriteRegister(pty->link(), vxc5480::kDrate, 0xA1), 0); // 1000 SPS
        QTemporaryDir dir;
        CaptureSettings s;
        s.path = dir.filePath(hdf5 ? QStringLiteral("run.h5") : QStringLiteral("run.csv"));
        s.format = format;
        s.stop = StopRule::Samples;
        s.samples = 1200;
        s.splitMs = 250;
        CaptureEngine engine(*pty->session(), s, FactsAt(1000), {});
        ASSERT_EQ(engine.blockItems(), 1000);
        const CaptureResult result = engine.run();
        EXPECT_EQ(result.status, CaptureStatus::Ok);
        EXPECT_GE(result.files, 3);
        std::vector<int32_t> codes;
        std::vector<double> times;
        for (int n = 1; n <= result.files; ++n) {
            const QString path = dir.filePath(
                QStringLiteral("run_%1.%2").arg(n, 4, 10, QChar('0')).arg(hdf5 ? "h5" : "csv"));
            const CaptureFileContents file = ReadCapture(path);
            ASSERT_TRUE(file.opened) << path.toStdString();
            EXPECT_EQ(file.numbers.count("first_sample") ? file.numbers.at("first_sample")
                                                         : std::stod(file.text.at("first_sample")),
                      static_cast<double>(codes.size()));
            EXPECT_EQ(file.text.at("stopped_by"), n < result.files ? "split" : "samples");
            // Within a block of its time: never a whole block of 1000 in a 250 ms file.
            if (n < result.files) {
                EXPECT_LT(file.codes.size(), 1000u);
            }
            ASSERT_EQ(file.times.size(), file.codes.size());
            codes.insert(codes.end(), file.codes.begin(), file.codes.end());
            times.insert(times.end(), file.times.begin(), file.times.end());
        }
        EXPECT_EQ(codes.size(), 1200u);
        EXPECT_TRUE(Consecutive(codes));
        EXPECT_TRUE(StrictlyRising(times));
        EXPECT_GT(times.front(), 0.0);
        EXPECT_LE(times.back(), result.seconds);
        EXPECT_FALSE(QFile::exists(s.path));
    }
}
