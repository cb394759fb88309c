// The capture engine through the real transport against the counting virtual board: blocks
// stitched without a sample lost or doubled in both formats, the stop rules, numbered files,
// and a line left quiet for the next exchange after a stop in the middle of a block.

#include "capture_file_reader.h"

#include "capture/capture_engine.h"
#include "capture/capture_facts.h"
#include "link/protocol.h"
#include "link/serial_transport.h"
#include "platform/busy_flags.h"
#include "platform/message_service.h"
#include "sim/virtual_board.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace capture;

namespace {
class CaptureEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_board = std::make_unique<sim::VirtualBoard>(sim::Chip::VXC5480);
        m_board->setPacing(sim::Pacing::None);
        sim::SignalModel counting;
        counting.counting = true;
        m_board->setSignal(counting);
        ASSERT_TRUE(m_board->start());
        SetPreferredPorts({QString::fromStdString(m_board->portPath())});
        SetSystemPortsScanned(false);
        g_chipId = 1;
        ASSERT_EQ(DetectEvm(), 1);
        m_board->clearReceivedFrames();
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override {
        ClosePort();
        SetPreferredPorts({});
        SetSystemPortsScanned(true);
    }

    CaptureSettings settings(const QString &name, FileFormat format = FileFormat::Hdf5) const {
        CaptureSettings s;
        s.path = m_dir.filePath(name);
        s.format = format;
        return s;
    }
    CaptureFacts facts() const {
        analysis::ConversionFacts conversion;
        conversion.referenceRange = {2.5, 0.5, 2.6};
        conversion.pgaGain = 1;
        conversion.spanPerReference = 4;
        conversion.dataRateSps = 30000;
        return MakeFacts("VXC5480", {1, 2, 3}, analysis::WithReference(conversion, std::nullopt),
                         QDateTime::currentDateTime());
    }
    // The counts of the acquisition requests the board took, in order.
    std::vector<int> requestedCounts() const {
        std::vector<int> counts;
        for (const auto &frame : m_board->receivedFrames()) {
            if (frame[2] == 0x0F)
                counts.push_back(frame[3] << 8 | frame[4]);
        }
        return counts;
    }

    std::unique_ptr<sim::VirtualBoard> m_board;
    QTemporaryDir m_dir;
};
} // namespace

TEST_F(CaptureEngineTest, BlocksStitchWithoutLossOrDoublingInBothFormats) {
    for (const FileFormat format : {FileFormat::Hdf5, FileFormat::Csv}) {
        const bool hdf5 = format == FileFormat::Hdf5;
        SCOPED_TRACE(hdf5 ? "HDF5" : "CSV");
        m_board->clearReceivedFrames();
        // Two captures in a row: the second goes on where the first stopped on the board.
        std::vector<int32_t> both;
        for (const char *name : {"a", "b"}) {
            CaptureSettings s =
                settings(QString::fromLatin1(name) + (hdf5 ? ".h5" : ".csv"), format);
            s.blockItems = 1000;
            s.stop = StopRule::Samples;
            s.samples = 2500;
            CaptureEngine engine(s, facts(), {});
            const CaptureResult result = engine.run();
            EXPECT_EQ(result.status, CaptureStatus::Ok);
            EXPECT_EQ(result.stoppedBy, "samples");
            EXPECT_EQ(result.samples, 2500);
            EXPECT_EQ(result.blocks, 3);
            EXPECT_EQ(g_acquiring, 0);
            const CaptureFileContents file = ReadCapture(s.path);
            ASSERT_TRUE(file.opened);
            ASSERT_EQ(file.codes.size(), 2500u);
            EXPECT_EQ(file.text.at("stopped_by"), "samples");
            EXPECT_EQ(file.text.at("chip"), "VXC5480");
            if (hdf5) {
                EXPECT_EQ(file.blockFirstSamples, (std::vector<uint64_t>{0, 1000, 2000}));
                EXPECT_EQ(file.blockSamples, (std::vector<uint32_t>{1000, 1000, 500}));
                EXPECT_EQ(file.registers, (std::vector<uint8_t>{1, 2, 3}));
                EXPECT_NEAR(file.numbers.at("volts_per_code"), 10.0 / 16777216.0, 1e-15);
            }
            both.insert(both.end(), file.codes.begin(), file.codes.end());
        }
        EXPECT_TRUE(Consecutive(both));
        EXPECT_EQ(requestedCounts(), (std::vector<int>{1000, 1000, 500, 1000, 1000, 500}));
    }
}

TEST_F(CaptureEngineTest, StopByHandKeepsTheItemInFlightAndLeavesTheLineQuiet) {
    // At the wire's pace the board is still sending most of the block when the stop comes.
    m_board->setPacing(sim::Pacing::Wire);
    CaptureSettings s = settings("hand.h5");
    s.blockItems = 3000;
    CaptureHooks hooks;
    int seen = 0;
    hooks.onSample = [&](int32_t) { ++seen; };
    hooks.stopRequested = [&] { return seen >= 500; };
    CaptureEngine engine(s, facts(), hooks);
    platform::MessageRecorder messages;
    const CaptureResult result = engine.run();
    EXPECT_EQ(result.status, CaptureStatus::Ok);
    EXPECT_EQ(result.stoppedBy, "user");
    EXPECT_EQ(result.samples, 500);
    const CaptureFileContents file = ReadCapture(s.path);
    EXPECT_EQ(file.codes.size(), 500u);
    EXPECT_TRUE(Consecutive(file.codes));
    EXPECT_EQ(file.text.at("stopped_by"), "user");
    // The rest of the block was read off the line: the next exchange gets its own reply.
    EXPECT_EQ(m_board->sentItemBytes().size(), 3000u * 4);
    uint8_t mux = 0;
    EXPECT_EQ(ReadRegister(0x01, mux), 0);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
}

TEST_F(CaptureEngineTest, DurationStopsTheRun) {
    CaptureSettings s = settings("timed.csv", FileFormat::Csv);
    s.blockItems = 2000;
    s.stop = StopRule::Duration;
    s.durationMs = 300;
    CaptureEngine engine(s, facts(), {});
    const CaptureResult result = engine.run();
    EXPECT_EQ(result.stoppedBy, "duration");
    EXPECT_GE(result.seconds, 0.3);
    const CaptureFileContents file = ReadCapture(s.path);
    EXPECT_EQ(static_cast<int64_t>(file.codes.size()), result.samples);
    EXPECT_TRUE(Consecutive(file.codes));
    uint8_t mux = 0;
    EXPECT_EQ(ReadRegister(0x01, mux), 0);
}

TEST_F(CaptureEngineTest, SplitFilesCarryOnWithoutAGap) {
    CaptureSettings s = settings("run.h5");
    s.blockItems = 700;
    s.stop = StopRule::Samples;
    s.samples = 3000;
    s.splitMs = 1;
    CaptureHooks hooks;
    // Each block takes longer than the split interval, whatever the machine's speed.
    int64_t seen = 0;
    hooks.onSample = [&](int32_t) {
        if (seen++ % 700 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    };
    CaptureEngine engine(s, facts(), hooks);
    const CaptureResult result = engine.run();
    EXPECT_EQ(result.status, CaptureStatus::Ok);
    EXPECT_EQ(result.files, 5); // 700, 700, 700, 700, 200: one block a file
    std::vector<int32_t> all;
    for (int n = 1; n <= result.files; ++n) {
        const QString path = m_dir.filePath(QStringLiteral("run_%1.h5").arg(n, 4, 10, QChar('0')));
        const CaptureFileContents file = ReadCapture(path);
        ASSERT_TRUE(file.opened) << path.toStdString();
        EXPECT_EQ(file.numbers.at("first_sample"), static_cast<double>(all.size()));
        EXPECT_EQ(file.numbers.at("file_number"), n);
        EXPECT_EQ(file.text.at("stopped_by"), n < result.files ? "split" : "samples");
        all.insert(all.end(), file.codes.begin(), file.codes.end());
    }
    EXPECT_EQ(all.size(), 3000u);
    EXPECT_TRUE(Consecutive(all));
    EXPECT_FALSE(QFile::exists(s.path));
}

TEST_F(CaptureEngineTest, AnExistingFileIsLeftAlone) {
    CaptureSettings s = settings("kept.csv", FileFormat::Csv);
    QFile old(s.path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("precious");
    old.close();
    platform::MessageRecorder messages;
    CaptureEngine engine(s, facts(), {});
    const CaptureResult result = engine.run();
    EXPECT_EQ(result.status, CaptureStatus::File);
    EXPECT_TRUE(requestedCounts().empty());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "precious");
    EXPECT_EQ(messages.texts().size(), 1);
}
