// The capture's arithmetic and names, case by case: durations, file names, block figures,
// drift, the live view's bounded envelope, the CSV lines, block sizes, the stream's dead time
// and rate, and the two writers keeping the same samples and times.

#include "capture_file_reader.h"

#include "analysis/sample_times.h"
#include "capture/block_figures.h"
#include "capture/block_plan.h"
#include "capture/csv_writer.h"
#include "capture/duration_text.h"
#include "capture/file_names.h"
#include "capture/readout_text.h"
#include "capture/run_envelope.h"
#include "capture/stream_timing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace capture;

TEST(CaptureDurations, ParsedFromClockOrSeconds) {
    const struct {
        const char *text;
        int64_t ms;
    } cases[] = {
        {"0:00:01", 1000},
        {"1:00:00", 3600000},
        {"26:30:05", 95405000},
        {" 90 ", 90000},
        {"0", 0},
        {"1:60:00", -1},
        {"1:5:00", -1},
        {"-5", -1},
        {"1:00", -1},
        {"", -1},
        {"abc", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseDuration(QString::fromLatin1(c.text)), c.ms) << c.text;
    EXPECT_EQ(FormatDuration(95405.9), "26:30:05");
    EXPECT_EQ(FormatDuration(0), "0:00:00");
    // No undefined cast of what no int64_t holds.
    EXPECT_EQ(FormatDuration(NAN), "0:00:00");
    EXPECT_EQ(FormatDuration(1e300), "2500000000000000:00:00");
}

TEST(CaptureNames, PartsAndProposals) {
    const struct {
        const char *path;
        int number;
        bool split;
        const char *expected;
    } cases[] = {
        {"/d/run.h5", 1, false, "/d/run.h5"},        {"/d/run.h5", 1, true, "/d/run_0001.h5"},
        {"/d/run.csv", 12, true, "/d/run_0012.csv"}, {"/d/run", 2, true, "/d/run_0002"},
        {"/d.x/run", 3, true, "/d.x/run_0003"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PartPath(QString::fromLatin1(c.path), c.number, c.split), c.expected);
    const QDateTime time(QDate(2026, 1, 2), QTime(13, 5, 9));
    EXPECT_EQ(ProposedCaptureName("/home/u/", time, FileFormat::Hdf5),
              "/home/u/capture_20260102_130509.h5");
    EXPECT_EQ(ProposedCaptureName("", time, FileFormat::Csv), "capture_20260102_130509.csv");
}

TEST(CaptureNames, OutputPathChecks) {
    QTemporaryDir dir;
    QFile existing(dir.filePath("old.h5"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    const struct {
        QString path;
        bool replace;
        bool accepted;
    } cases[] = {
        {dir.filePath("new.h5"), false, true},          {dir.filePath("old.h5"), false, false},
        {dir.filePath("old.h5"), true, true},           {dir.path(), true, false},
        {dir.filePath("missing/new.h5"), false, false}, {QString(), false, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(!CheckOutputPath(c.path, c.replace).failed(), c.accepted) << c.path.toStdString();
}

TEST(CaptureFigures, BlockMeanDeviationAndDrift) {
    const std::vector<int32_t> codes{-8388608, 8388607, -8388608, 8388607};
    const BlockFigures wide = FiguresOf(codes);
    EXPECT_DOUBLE_EQ(wide.mean, -0.5);
    EXPECT_DOUBLE_EQ(wide.deviation, 8388607.5);
    const BlockFigures flat = FiguresOf(std::vector<int32_t>(1000, 7));
    EXPECT_DOUBLE_EQ(flat.mean, 7.0);
    EXPECT_DOUBLE_EQ(flat.deviation, 0.0);
    EXPECT_EQ(FiguresOf({}).count, 0u);

    DriftLine drift;
    drift.add(100.0, 5.0);
    EXPECT_FALSE(drift.valid());
    // 2 codes per 1800 s on a line, with one point off it on each side: 4 codes per hour.
    drift.add(1900.0, 7.0 + 0.5);
    drift.add(3700.0, 9.0 - 0.5);
    drift.add(5500.0, 11.0);
    ASSERT_TRUE(drift.valid());
    EXPECT_NEAR(drift.slopePerHour(), 3.8, 1e-9);
    // Residuals 0.4, -0.2, -0.2, 0: sqrt(0.45 / 2 / 1.25 h^2) = 0.424 codes per hour.
    EXPECT_NEAR(drift.slopeErrorPerHour(), std::sqrt(0.18), 1e-9);
}

// The drift readout: blank until a third block gives its error a meaning, then the slope and
// its standard error in one unit, volts where the scale is known.
TEST(CaptureFigures, DriftIsShownWithItsErrorOnceItMeansSomething) {
    const struct {
        std::vector<std::pair<double, double>> means; // seconds, codes
        double voltsPerCode;
        const char *expected;
    } cases[] = {
        {{}, 1e-6, "- (needs three blocks)"},
        {{{0, 0}, {10, 219}}, 1e-6, "- (needs three blocks)"}, // two blocks: a line, no error
        {{{0, 5}, {1800, 7.5}, {3600, 8.5}, {5400, 11}}, 1e-6, "3.80 \u00B1 0.42 \u00B5V/h"},
        {{{0, 5}, {1800, 7.5}, {3600, 8.5}, {5400, 11}}, 1e-9, "3.80 \u00B1 0.42 nV/h"},
        {{{0, 5}, {1800, 7.5}, {3600, 8.5}, {5400, 11}}, 0, "3.80 \u00B1 0.42 codes/h"},
        // Scatter larger than the trend: the error says the drift may be none.
        {{{0, 0}, {10, 219}, {20, -150}}, 1e-6, "-27 \u00B1 61 mV/h"},
    };
    for (const auto &c : cases) {
        DriftLine drift;
        for (const auto &[seconds, mean] : c.means)
            drift.add(seconds, mean);
        EXPECT_EQ(FormatDrift(drift, c.voltsPerCode), QString::fromUtf8(c.expected))
            << c.means.size() << " blocks";
    }
    EXPECT_EQ(FormatCodes(12.3, 1e-6), QStringLiteral("12.30 codes (12.3 \u00B5V)"));
    EXPECT_EQ(FormatCodes(-8388608, 5e-7), QStringLiteral("-8388608.00 codes (-4.19 V)"));
}

TEST(CaptureEnvelope, StaysBoundedAndKeepsEveryExtreme) {
    RunEnvelope envelope(64, 1000);
    for (int i = 0; i < 100000; ++i)
        envelope.add(i == 77777 ? 5000000 : i % 100);
    EXPECT_LE(envelope.columns().size(), 64u);
    EXPECT_EQ(envelope.samples(), 100000u);
    int32_t top = 0;
    for (const EnvelopeColumn &c : envelope.columns())
        top = std::max(top, c.maximum);
    EXPECT_EQ(top, 5000000); // one spike among 100000 still shows
    const std::vector<int32_t> recent = envelope.recent();
    ASSERT_EQ(recent.size(), 1000u);
    EXPECT_EQ(recent.front(), 99000 % 100);
    EXPECT_EQ(recent.back(), 99999 % 100);
}

TEST(CaptureCsv, LinesOfABlock) {
    const std::vector<int32_t> codes{-1, 8388607};
    const std::vector<double> seconds{0.5, 1.25};
    EXPECT_EQ(CsvBlockLines(1000, codes, seconds, 1e-6),
              "1000,0.500000,-1,-1e-06\n1001,1.250000,8388607,8.388607\n");
    EXPECT_EQ(CsvBlockLines(0, codes, seconds, 0.0), "0,0.500000,-1,\n1,1.250000,8388607,\n");
}

TEST(CaptureBlocks, SizedByTimeAndCutToWhatIsLeft) {
    const struct {
        double nominalSps;
        int block;
    } sizes[] = {{2.5, 3}, {10, 10}, {1280, 1280}, {30000, 2880}, {0, 2880}, {0.1, 1}};
    for (const auto &c : sizes)
        EXPECT_EQ(DefaultBlockItems(c.nominalSps), c.block) << c.nominalSps;

    const struct {
        int block;
        int64_t samplesLeft;
        double secondsLeft;
        double rate;
        int count;
    } cuts[] = {
        {2880, -1, -1, 2880, 2880},   // nothing to cut to
        {2880, 100, -1, 2880, 100},   // the last samples wanted
        {2880, 0, -1, 2880, 0},       // none wanted any more
        {2880, -1, 0.25, 2880, 720},  // a quarter of a second left
        {2880, -1, 0.0, 2880, 1},     // the time is up: the item checks stop it
        {3, -1, 0.1, 2.5, 1},         // less than one conversion left
        {3, -1, 3600, 2.5, 3},        // hours left: the block as it is
        {2880, 50, 0.25, 2880, 50},   // the tighter of both
        {70000, -1, -1, 2880, 65535}, // the request carries 16 bits
    };
    for (const auto &c : cuts)
        EXPECT_EQ(NextRequestCount(c.block, c.samplesLeft, c.secondsLeft, c.rate), c.count)
            << c.block << " " << c.samplesLeft << " " << c.secondsLeft;
}

TEST(CaptureTiming, DeadTimeIsTheLatenessNotPaidBack) {
    struct Read {
        double after; // seconds after the read before
        int items;
        bool full;
    };
    const auto steady = [](int reads) {
        std::vector<Read> r;
        for (int i = 0; i < reads; ++i) // 4 ms reads, a little early and late by turns
            r.push_back({i % 2 ? 0.0035 : 0.0045, 4, false});
        return r;
    };
    const auto then = [](std::vector<Read> a, std::initializer_list<Read> b) {
        a.insert(a.end(), b);
        return a;
    };
    const struct {
        const char *name;
        std::vector<Read> reads;
        double dead, longest;
    } cases[] = {
        // Half a millisecond early and late by turns: nothing adds up over a long run.
        {"jitter", steady(100000), 0.0, 0.0005},
        // The board paused for 50 ms: that much is dead, once.
        {"a pause", then(steady(100), {{0.054, 4, false}, {0.004, 4, false}}), 0.05, 0.05},
        // The program read late: the items waited in the driver, none was missing.
        {"a late read", then(steady(100), {{0.2, 200, false}, {0.004, 4, false}}), 0.0, 0.0005},
        // The backlog taken in two reads, the first full: its lateness is paid back at once.
        {"a backlog in two reads", then(steady(100), {{0.2, 100, true}, {0.0001, 100, false}}),
         0.0001, 0.0005},
    };
    for (const auto &c : cases) {
        StreamTiming timing(0.001);
        double t = 1.0;
        timing.start(t);
        for (const Read &r : c.reads)
            timing.onRead(t += r.after, r.items, r.full);
        EXPECT_NEAR(timing.deadSeconds(), c.dead, 1e-6) << c.name;
        EXPECT_NEAR(timing.longestGapSeconds(), c.longest, 1e-6) << c.name;
    }
}

TEST(CaptureTiming, RateOverTheLastTenSeconds) {
    StreamTiming timing(1.0 / 2880);
    EXPECT_LT(timing.rate(), 0); // nothing yet
    double t = 0;
    timing.start(t);
    for (int i = 0; i < 1000; ++i) // 10 s at 1000 items a second
        timing.onRead(t += 0.01, 10, false);
    EXPECT_NEAR(timing.rate(), 1000.0, 1e-6);
    for (int i = 0; i < 2000; ++i) // then 20 s at 500
        timing.onRead(t += 0.01, 5, false);
    EXPECT_NEAR(timing.rate(), 500.0, 1e-6);
}

TEST(CaptureWriters, BothFormatsKeepTheSameCodesAndTimes) {
    QTemporaryDir dir;
    const std::vector<int32_t> codes{-8388608, -1, 0, 1, 8388607};
    const std::vector<double> times{0.000347, 0.000694, 0.5, 1.25, 3600.123456};
    CaptureFacts facts;
    facts.chipName = QStringLiteral("VXC5480");
    for (const FileFormat format : {FileFormat::Hdf5, FileFormat::Csv}) {
        const QString path = dir.filePath(format == FileFormat::Hdf5 ? QStringLiteral("w.h5")
                                                                     : QStringLiteral("w.csv"));
        auto writer = MakeWriter(format);
        ASSERT_TRUE(writer->create(path, facts, FilePart{1, 0}, false))
            << writer->errorText().toStdString();
        // Two pieces of one block, then a block of one piece.
        const std::span<const int32_t> all(codes);
        const std::span<const double> at(times);
        BlockStamp first{0, 1.0e9, 0.0, 3};
        BlockStamp second{3, 1.0e9 + 1, 1.0, 2};
        ASSERT_TRUE(writer->appendPiece(0, all.first(2), at.first(2), nullptr));
        ASSERT_TRUE(writer->appendPiece(2, all.subspan(2, 1), at.subspan(2, 1), &first));
        ASSERT_TRUE(writer->appendPiece(3, all.subspan(3), at.subspan(3), &second));
        ASSERT_TRUE(writer->finish(QStringLiteral("user")));
        writer.reset();
        const CaptureFileContents file = ReadCapture(path);
        ASSERT_TRUE(file.opened);
        EXPECT_EQ(file.codes, codes);
        ASSERT_EQ(file.times.size(), times.size());
        for (size_t i = 0; i < times.size(); ++i)
            EXPECT_NEAR(file.times[i], times[i], 5e-7) << i;
        EXPECT_EQ(file.text.at("time_rule"), analysis::kArrivalTimeRule);
        if (format == FileFormat::Hdf5) {
            EXPECT_EQ(file.blockFirstSamples, (std::vector<uint64_t>{0, 3}));
            EXPECT_EQ(file.blockSamples, (std::vector<uint32_t>{3, 2}));
        }
    }
}
