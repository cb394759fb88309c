// Gaps a capture records (the board lost and reopened, the file going on): every reader keeps
// its pieces, run-wide indexes, rate and report on either side of them, in both formats.

#include "capture/capture_reader.h"
#include "capture/capture_run.h"
#include "capture/capture_writer.h"
#include "capture/run_report.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <numeric>

using namespace capture;

namespace {

constexpr double kRate = 100.0;

CaptureFacts Facts() {
    CaptureFacts facts;
    facts.chipName = QStringLiteral("VXC5480");
    facts.registers = {0x01, 0x02, 0xA0};
    facts.conversion.referenceVolts = 2.5;
    facts.conversion.pgaGain = 1;
    facts.conversion.spanPerReference = 2;
    facts.conversion.dataRateSps = kRate;
    facts.conversion = conversion::WithScale(facts.conversion);
    facts.startTime = QStringLiteral("2026-01-02T03:04:05+01:00");
    facts.runStartUtc = QStringLiteral("2026-01-02T02:04:05.000000Z");
    return facts;
}

// One step of a file: samples (run-wide index from `run` on, code = index, time 1 s + index /
// rate), or a gap of `lost` conversions.
struct Step {
    size_t samples = 0;
    uint64_t lost = 0;
    QString cause;
};

Step Samples(size_t n) {
    Step step;
    step.samples = n;
    return step;
}

Step Gap(uint64_t lost, const char *cause) {
    Step step;
    step.lost = lost;
    step.cause = QString::fromUtf8(cause);
    return step;
}

const QString kUtc = QStringLiteral("2026-01-02T02:04:08.000000Z");

class CaptureGaps : public ::testing::TestWithParam<FileFormat> {
  protected:
    QString suffix() const { return GetParam() == FileFormat::Hdf5 ? ".h5" : ".csv"; }

    // A part of the run written step by step; run is the run-wide index it starts at and is
    // advanced past it, lost conversions included.
    QString write(const QString &name, const std::vector<Step> &steps, int number, uint64_t &run,
                  const QString &stoppedBy) {
        const QString path = m_dir.filePath(name + suffix());
        std::unique_ptr<CaptureWriter> writer = MakeWriter(GetParam());
        EXPECT_TRUE(writer->create(path, Facts(), {number, run}, false));
        uint64_t held = 0;
        for (const Step &step : steps) {
            if (step.samples == 0) {
                const double start = 1.0 + double(run) / kRate;
                const GapRecord gap{held, step.lost, start - 0.005, double(step.lost) / kRate,
                                    kUtc, step.cause};
                EXPECT_TRUE(writer->writeGap(gap)) << writer->errorText().toStdString();
                run += step.lost;
                continue;
            }
            std::vector<int32_t> codes(step.samples);
            std::iota(codes.begin(), codes.end(), int32_t(run));
            std::vector<double> seconds(step.samples);
            for (size_t i = 0; i < seconds.size(); ++i)
                seconds[i] = 1.0 + double(run + i) / kRate;
            const BlockStamp block{run, 0, 0, uint32_t(step.samples)};
            EXPECT_TRUE(writer->appendPiece(run, codes, seconds, &block));
            run += step.samples;
            held += step.samples;
        }
        EXPECT_TRUE(writer->finish(stoppedBy));
        return path;
    }

    static QString Row(const ReportRows &rows, const QString &caption) {
        for (const auto &row : rows)
            if (row.first == caption)
                return row.second;
        return QStringLiteral("(no row)");
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_P(CaptureGaps, ARecordedGapSplitsTheRunAndIsReported) {
    uint64_t run = 0;
    const QString path = write("one",
                               {Samples(300), Gap(250, "the board stopped answering"), Samples(100),
                                Gap(40, "hang-up"), Samples(60)},
                               1, run, "user");
    CaptureSet set = ScanCaptureSet({path});
    EXPECT_TRUE(set.errors.isEmpty() && set.missing.isEmpty())
        << set.errors.join(u'\n').toStdString();
    std::unique_ptr<CaptureRun> opened = OpenRun(std::move(set), false);
    ASSERT_TRUE(opened);
    ASSERT_EQ(opened->parts().front()->gaps().size(), 2u);
    EXPECT_EQ(opened->parts().front()->gaps()[0].cause,
              QStringLiteral("the board stopped answering"));
    EXPECT_EQ(opened->count(), 460u);
    const std::vector<analysis::SamplePiece> pieces = opened->pieces();
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[1].first, 300u);
    EXPECT_EQ(pieces[1].runFirst, 550u);
    EXPECT_EQ(pieces[2].first, 400u);
    EXPECT_EQ(pieces[2].runFirst, 690u);
    // The codes are their run-wide indexes: each piece reads its own.
    std::vector<int32_t> codes(60);
    ASSERT_TRUE(opened->read(400, codes, {}));
    EXPECT_EQ(codes.front(), 690);
    ASSERT_EQ(opened->recordedGaps().size(), 2u);
    EXPECT_TRUE(opened->missingParts().empty());
    const RunGap gap = opened->recordedGaps()[0];
    EXPECT_EQ(gap.firstSample, 300u);
    EXPECT_EQ(gap.count, 250u);
    EXPECT_DOUBLE_EQ(gap.lengthSeconds, 2.5);
    EXPECT_EQ(gap.startUtc, kUtc);
    // The lost conversions are counted: the rate from the times is not fooled by the gap.
    EXPECT_TRUE(opened->rateFromTimes());
    EXPECT_NEAR(opened->sampleRateHz(), kRate, 1e-6);
    const ReportRows rows = RunFactRows(*opened);
    EXPECT_EQ(Row(rows, "Samples"), QStringLiteral("460"));
    EXPECT_EQ(Row(rows, "Gaps"), QStringLiteral("2 (the board was lost and reopened), 2.9 s in "
                                                "all, 290 conversions lost: left out of every "
                                                "figure"));
    EXPECT_EQ(Row(rows, "Gap 1"),
              kUtc + QStringLiteral(" (3.995 s): the board stopped answering; 2.5 s, 250 "
                                    "conversions lost (samples 300 to 549)"));
    EXPECT_TRUE(Row(rows, "Gap 2").contains(QStringLiteral("hang-up; 0.4 s, 40 conversions lost")));
}

TEST_P(CaptureGaps, ASplitPartAfterAGapIsNoMissingPart) {
    uint64_t run = 0;
    const QString a =
        write("run_0001", {Samples(300), Gap(250, "hang-up"), Samples(100)}, 1, run, "split");
    EXPECT_EQ(run, 650u);
    const QString b = write("run_0002", {Samples(200)}, 2, run, "user");
    CaptureSet set = ScanCaptureSet({b, a});
    EXPECT_TRUE(set.errors.isEmpty());
    EXPECT_TRUE(set.missing.isEmpty()) << set.missing.join(u'\n').toStdString();
    std::unique_ptr<CaptureRun> opened = OpenRun(std::move(set), false);
    ASSERT_TRUE(opened);
    // The part after the gap and the next part are one stretch of conversions.
    const std::vector<analysis::SamplePiece> pieces = opened->pieces();
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[1].count, 300u);
    EXPECT_EQ(pieces[1].runFirst, 550u);
    ASSERT_EQ(opened->gaps().size(), 1u);

    // The script's reader follows the gap: no file missing, times and indexes run-wide.
    const CaptureRead read = ReadCapture(a);
    ASSERT_FALSE(read.failed()) << read.error.toStdString();
    EXPECT_EQ(read.codes.size(), 600u);
    ASSERT_EQ(read.gaps.size(), 1u);
    EXPECT_EQ(read.gaps[0].index, 300u);
    EXPECT_EQ(read.gaps[0].firstSample, 550u);
    EXPECT_EQ(read.gaps[0].record.cause, QStringLiteral("hang-up"));
    EXPECT_EQ(read.codes[300], 550);
    ASSERT_EQ(read.times.size(), 600u);
    EXPECT_NEAR(read.times[300], 6.5, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Formats, CaptureGaps, ::testing::Values(FileFormat::Hdf5, FileFormat::Csv),
                         [](const auto &info) {
                             return info.param == FileFormat::Hdf5 ? "Hdf5" : "Csv";
                         });
