// Capture files read back as runs: files made by the capture's own writers, split sets in any
// order, a capture killed mid-burst, and one table of files that must be refused by name.

#include "capture/capture_run.h"
#include "capture/capture_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <hdf5.h>

#include <cmath>
#include <numeric>

using namespace capture;

namespace {

CaptureFacts Facts() {
    CaptureFacts facts;
    facts.chipName = QStringLiteral("VXC5480");
    facts.registers = {0x01, 0x02, 0xA0};
    facts.conversion.referenceVolts = 2.5;
    facts.conversion.referenceSource = conversion::ReferenceSource::Given;
    facts.conversion.pgaGain = 1;
    facts.conversion.spanPerReference = 2;
    facts.conversion.dataRateSps = 100;
    facts.conversion = conversion::WithScale(facts.conversion); // 5 V / 2^24 a code
    facts.programVersion = QStringLiteral("2.0.0.3");
    facts.startTime = QStringLiteral("2026-01-02T03:04:05+01:00");
    return facts;
}

// Codes first, first + 1, ...; each sample's time at 100 per second plus 1 s.
std::vector<int32_t> Codes(uint64_t first, size_t n) {
    std::vector<int32_t> codes(n);
    std::iota(codes.begin(), codes.end(), static_cast<int32_t>(first));
    return codes;
}

class CaptureReader : public ::testing::Test {
  protected:
    QString file(const QString &name) const { return m_dir.filePath(name); }

    // A file of blocks of the given sizes, each written as one piece, numbered as part number
    // of a set starting at firstSample; then pieces of the given sizes that end no block (a
    // capture killed inside a block); stoppedBy "" leaves it unfinished.
    QString write(const QString &name, FileFormat format, const std::vector<size_t> &blocks,
                  int number = 1, uint64_t firstSample = 0,
                  const QString &stoppedBy = QStringLiteral("user"),
                  const std::vector<size_t> &openPieces = {}, const CaptureFacts &facts = Facts()) {
        const QString path = file(name);
        std::unique_ptr<CaptureWriter> writer = MakeWriter(format);
        EXPECT_TRUE(writer->create(path, facts, {number, firstSample}, false))
            << writer->errorText().toStdString();
        uint64_t at = firstSample;
        auto piece = [&](size_t n, bool endsBlock) {
            const std::vector<int32_t> codes = Codes(at, n);
            std::vector<double> seconds(n);
            for (size_t i = 0; i < n; ++i)
                seconds[i] = 1.0 + double(at + i) / 100.0;
            const BlockStamp block{at, 0, 0, uint32_t(n)};
            EXPECT_TRUE(writer->appendPiece(at, codes, seconds, endsBlock ? &block : nullptr));
            at += n;
        };
        for (size_t n : blocks)
            piece(n, true);
        for (size_t n : openPieces)
            piece(n, false);
        if (!stoppedBy.isEmpty()) {
            EXPECT_TRUE(writer->finish(stoppedBy));
        }
        return path;
    }

    static std::vector<int32_t> ReadAll(CaptureRun &run) {
        std::vector<int32_t> codes(run.count());
        EXPECT_TRUE(run.read(0, codes, {})) << run.errorText();
        return codes;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(CaptureReader, ReadsEitherFormatWithItsFacts) {
    for (FileFormat format : {FileFormat::Hdf5, FileFormat::Csv}) {
        const QString name = format == FileFormat::Hdf5 ? "one.h5" : "one.csv";
        const QString path = write(name, format, {1000, 500, 7});
        std::unique_ptr<CaptureRun> run = OpenRun(ScanCaptureSet({path}), false);
        ASSERT_TRUE(run) << name.toStdString();
        EXPECT_EQ(run->count(), 1507u);
        EXPECT_EQ(ReadAll(*run), Codes(0, 1507));
        EXPECT_EQ(run->facts().chip, QStringLiteral("VXC5480"));
        EXPECT_EQ(run->facts().registers, (std::vector<uint8_t>{0x01, 0x02, 0xA0}));
        EXPECT_DOUBLE_EQ(run->facts().referenceVolts, 2.5);
        EXPECT_EQ(run->facts().referenceSource, QStringLiteral("given"));
        EXPECT_NEAR(run->facts().claimedVoltsPerCode(), 5.0 / 16777216, 1e-15);
        EXPECT_TRUE(run->facts().modeKnown);
        EXPECT_TRUE(run->facts().timeRule.startsWith(QStringLiteral("each piece's last sample")))
            << run->facts().timeRule.toStdString();
        EXPECT_EQ(run->facts().startTime, QStringLiteral("2026-01-02T03:04:05+01:00"));
        EXPECT_EQ(run->facts().stoppedBy, QStringLiteral("user"));
        EXPECT_TRUE(run->gaps().empty());
        EXPECT_NEAR(run->sampleRateHz(), 100.0, 1e-6);
        // A read across the middle, in pieces, as the analyses read.
        std::vector<int32_t> codes(300);
        std::vector<double> times(300);
        ASSERT_TRUE(
            run->read(900, codes, run->hasTimes() ? std::span(times) : std::span<double>()));
        EXPECT_EQ(codes, Codes(900, 300));
        if (run->hasTimes()) {
            EXPECT_NEAR(times[0], 10.0, 1e-6);
        }
    }
}

TEST_F(CaptureReader, SplitSetGivenInAnyOrderIsOneRun) {
    for (FileFormat format : {FileFormat::Hdf5, FileFormat::Csv}) {
        const QString suffix = format == FileFormat::Hdf5 ? ".h5" : ".csv";
        const QString a = write("run_0001" + suffix, format, {400, 400}, 1, 0, "split");
        const QString b = write("run_0002" + suffix, format, {300}, 2, 800, "split");
        const QString c = write("run_0003" + suffix, format, {50}, 3, 1100, "user");
        EXPECT_EQ(SplitSetFiles(b), (QStringList{a, b, c}));
        std::unique_ptr<CaptureRun> run = OpenRun(ScanCaptureSet({c, a, b}), false);
        ASSERT_TRUE(run);
        EXPECT_EQ(run->count(), 1150u);
        ASSERT_EQ(run->pieces().size(), 1u);
        EXPECT_EQ(ReadAll(*run), Codes(0, 1150));
        EXPECT_EQ(run->facts().stoppedBy, QStringLiteral("user"));
    }
}

TEST_F(CaptureReader, MissingPartOpensOnlyWhenAccepted) {
    const QString a = write("run_0001.h5", FileFormat::Hdf5, {400}, 1, 0, "split");
    write("run_0002.h5", FileFormat::Hdf5, {300}, 2, 400, "split");
    const QString c = write("run_0003.h5", FileFormat::Hdf5, {200}, 3, 700, "split");
    CaptureSet set = ScanCaptureSet({a, c});
    EXPECT_TRUE(set.errors.isEmpty());
    ASSERT_EQ(set.missing.size(), 2);
    EXPECT_EQ(set.missing[0], file("run_0002.h5") + ": missing from the split set (samples 400 "
                                                    "to 699)");
    EXPECT_EQ(set.missing[1], file("run_0004.h5") +
                                  ": missing from the split set (the run goes "
                                  "on after " +
                                  c + ")");
    EXPECT_FALSE(OpenRun(ScanCaptureSet({a, c}), false));
    std::unique_ptr<CaptureRun> run = OpenRun(std::move(set), true);
    ASSERT_TRUE(run);
    ASSERT_EQ(run->pieces().size(), 2u);
    EXPECT_EQ(run->pieces()[1].first, 400u);
    EXPECT_EQ(run->pieces()[1].runFirst, 700u);
    ASSERT_EQ(run->gaps().size(), 2u);
    EXPECT_EQ(run->gaps()[0].firstSample, 400u);
    EXPECT_EQ(run->gaps()[0].count, 300u);
    std::vector<int32_t> expected = Codes(0, 400);
    const std::vector<int32_t> tail = Codes(700, 200);
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(ReadAll(*run), expected);
}

// A VXC5420 capture that did not know the chip's mode records its gain, rate and scale as
// guesses from the registers: read back as such, never claimed.
TEST_F(CaptureReader, GuessedFiguresAreKeptButNotClaimed) {
    CaptureFacts facts = Facts();
    facts.chipName = QStringLiteral("VXC5420");
    facts.conversion.modeKnown = false;
    facts.conversion.mode = "mode unknown: gain and rate from CR1";
    for (FileFormat format : {FileFormat::Hdf5, FileFormat::Csv}) {
        const QString name = format == FileFormat::Hdf5 ? "guess.h5" : "guess.csv";
        const QString path = write(name, format, {300}, 1, 0, "user", {}, facts);
        std::unique_ptr<CaptureRun> run = OpenRun(ScanCaptureSet({path}), false);
        ASSERT_TRUE(run) << name.toStdString();
        const PartFacts &f = run->facts();
        EXPECT_FALSE(f.modeKnown);
        EXPECT_EQ(f.mode, QStringLiteral("mode unknown: gain and rate from CR1"));
        EXPECT_DOUBLE_EQ(f.pgaGain, 1);
        EXPECT_DOUBLE_EQ(f.dataRateSps, 100);
        EXPECT_NEAR(f.voltsPerCode, 5.0 / 16777216, 1e-15);
        EXPECT_EQ(f.claimedVoltsPerCode(), 0.0);
        EXPECT_EQ(f.claimedDataRateSps(), 0.0);
        // The samples' own times still give the rate.
        EXPECT_NEAR(run->sampleRateHz(), 100.0, 1e-6);
        EXPECT_TRUE(run->rateFromTimes());
    }
}

TEST_F(CaptureReader, KilledCaptureOpensWithEveryPieceWrittenWhole) {
    // HDF5: two whole blocks, then two pieces of a third block whose record never came.
    const QString h5 = write("killed.h5", FileFormat::Hdf5, {500, 500}, 1, 0, QString(), {120, 80});
    // Codes of a piece whose times never came: killed inside the piece's burst.
    const QString h5Burst = write("burst.h5", FileFormat::Hdf5, {500, 500}, 1, 0, QString());
    // Both datasets extended, but nothing written into the new room (it reads as 0).
    const QString h5Room = write("room.h5", FileFormat::Hdf5, {500, 500}, 1, 0, QString(), {50});
    auto extend = [](const QString &path, const char *name, hsize_t size) {
        const hid_t f = H5Fopen(path.toLocal8Bit().constData(), H5F_ACC_RDWR, H5P_DEFAULT);
        const hid_t set = H5Dopen2(f, name, H5P_DEFAULT);
        EXPECT_GE(H5Dset_extent(set, &size), 0);
        H5Dclose(set);
        H5Fclose(f);
    };
    // A file without times (as the capture wrote before it recorded them): whole blocks only.
    const QString h5Untimed =
        write("untimed.h5", FileFormat::Hdf5, {500, 500}, 1, 0, QString(), {120});
    {
        const hid_t f = H5Fopen(h5Untimed.toLocal8Bit().constData(), H5F_ACC_RDWR, H5P_DEFAULT);
        EXPECT_GE(H5Ldelete(f, "time_s", H5P_DEFAULT), 0);
        H5Fclose(f);
    }
    extend(h5Burst, "codes", 1300);
    extend(h5Room, "codes", 1400);
    extend(h5Room, "time_s", 1400);
    // CSV: the last line cut in the middle.
    const QString csv = write("killed.csv", FileFormat::Csv, {500, 500}, 1, 0, QString());
    QFile cut(csv);
    ASSERT_TRUE(cut.resize(cut.size() - 5));
    const std::pair<QString, uint64_t> cases[] = {
        {h5, 1200}, {h5Burst, 1000}, {h5Room, 1050}, {h5Untimed, 1000}, {csv, 999}};
    for (const auto &[path, expected] : cases) {
        std::unique_ptr<CaptureRun> run = OpenRun(ScanCaptureSet({path}), false);
        ASSERT_TRUE(run) << path.toStdString();
        EXPECT_EQ(run->count(), expected) << path.toStdString();
        EXPECT_EQ(ReadAll(*run), Codes(0, expected));
        EXPECT_EQ(StoppedByText(run->facts().stoppedBy),
                  QStringLiteral(
                      "unfinished: still being written, or the capture did not close the file"));
    }
}

// Times that are not finite, or go back, stop the read naming the file, the sample and the
// value: a NaN time would otherwise make the drift line, and every figure after it, NaN.
TEST_F(CaptureReader, TimesThatAreNotFiniteAndRisingStopTheRead) {
    const struct {
        const char *times;
        const char *message; // %1 the file
    } cases[] = {
        {"0.0,0.01,nan,0.03", "%1: time_s of sample 2 is nan after 0.01: the times must be "
                              "finite and rising"},
        {"0.0,0.02,0.01,0.03", "%1: time_s of sample 2 is 0.01 after 0.02: the times must be "
                               "finite and rising"},
        {"inf,0.01,0.02,0.03", "%1: time_s of sample 0 is inf: the times must be finite and "
                               "rising"},
    };
    for (const auto &c : cases) {
        const QString path = file(QStringLiteral("times.csv"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("# chip: VXC5480\n# data_rate_sps: 100\n# stopped_by: user\nindex,time_s,code\n");
        const QList<QByteArray> times = QByteArray(c.times).split(',');
        for (qsizetype i = 0; i < times.size(); ++i)
            f.write(QByteArray::number(i) + ',' + times[i] + ",5\n");
        f.close();
        std::unique_ptr<CaptureRun> run = OpenRun(ScanCaptureSet({path}), false);
        ASSERT_TRUE(run);
        std::vector<int32_t> codes(run->count());
        std::vector<double> seconds(run->count());
        EXPECT_FALSE(run->read(0, codes, seconds)) << c.times;
        EXPECT_EQ(QString::fromStdString(run->errorText()),
                  QString::fromLatin1(c.message).arg(path));
    }
}

struct BadSet {
    const char *name;
    std::vector<const char *> files; // made by the fixture, by name
    const char *message;             // %1 the folder
};

class BadCaptureFiles : public CaptureReader, public ::testing::WithParamInterface<BadSet> {
  protected:
    void make(const QString &name) {
        auto put = [&](const QByteArray &bytes) {
            QFile f(file(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        if (name == "notes.txt")
            put("Shopping list\nmilk\n");
        else if (name == "empty.h5")
            put("");
        else if (name == "broken.csv")
            put("# chip: VXC5480\nindex,time_s,code,volts\n0,0.0,5,0.1\n1,0.01,x,0.1\n"
                "2,0.02,7,0.1\n");
        else if (name == "short.csv")
            put("# chip: VXC5480\nindex,time_s,code,volts\n0,0.0,5,0.1\n1,0.01\n2,0.02,7,0.1\n");
        else if (name == "misplacedgap.csv")
            put("# chip: VXC5480\nindex,time_s,code,volts\n0,0.0,5,0.1\n# gap: at_sample=0 lost=5 "
                "start_s=0.0 length_s=0.05 start_utc= cause=hang-up\n6,0.06,7,0.1\n");
        else if (name == "gapnumber.csv")
            put("# chip: VXC5480\nindex,time_s,code,volts\n0,0.0,5,0.1\n# gap: at_sample=1 "
                "lost=many start_s=0.0 length_s=0.05 start_utc= cause=hang-up\n");
        else if (name == "nocode.csv")
            put("# chip: VXC5480\nindex,time_s,value\n0,0.0,5\n");
        else if (name == "zero.csv")
            put("# chip: VXC5480\n# data_rate_sps: 0\nindex,time_s,code\n0,0.0,5\n");
        else if (name == "negative.csv")
            put("# chip: VXC5480\n# data_rate_sps: -100\nindex,time_s,code\n0,0.0,5\n");
        else if (name == "words.csv")
            put("# chip: VXC5480\n# data_rate_sps: fast\nindex,time_s,code\n0,0.0,5\n");
        else if (name == "tiny.csv")
            put("# chip: VXC5480\n# data_rate_sps_from_registers: 1e-300\nindex,code\n0,5\n");
        else if (name == "inf.h5" || name == "huge.h5" || name == "nan.h5") {
            CaptureFacts facts = Facts();
            facts.conversion.dataRateSps = name == "inf.h5"    ? INFINITY
                                           : name == "huge.h5" ? 1e300
                                                               : NAN;
            write(name, FileFormat::Hdf5, {100}, 1, 0, "user", {}, facts);
        } else if (name == "numberless.h5") {
            write(name, FileFormat::Hdf5, {100}, 1, 0, "user");
            const hid_t f =
                H5Fopen(file(name).toLocal8Bit().constData(), H5F_ACC_RDWR, H5P_DEFAULT);
            const hid_t space = H5Screate(H5S_SCALAR);
            H5Adelete(f, "file_number");
            const hid_t attribute =
                H5Acreate2(f, "file_number", H5T_NATIVE_DOUBLE, space, H5P_DEFAULT, H5P_DEFAULT);
            const double nan = NAN;
            H5Awrite(attribute, H5T_NATIVE_DOUBLE, &nan);
            H5Aclose(attribute);
            H5Sclose(space);
            H5Fclose(f);
        } else if (name == "other.h5") {
            const hid_t f = H5Fcreate(file(name).toLocal8Bit().constData(), H5F_ACC_TRUNC,
                                      H5P_DEFAULT, H5P_DEFAULT);
            const hsize_t n = 4;
            const hid_t space = H5Screate_simple(1, &n, nullptr);
            const hid_t set = H5Dcreate2(f, "data", H5T_NATIVE_DOUBLE, space, H5P_DEFAULT,
                                         H5P_DEFAULT, H5P_DEFAULT);
            H5Dclose(set);
            H5Sclose(space);
            H5Fclose(f);
        } else if (name == "run_0001.h5")
            write(name, FileFormat::Hdf5, {100}, 1, 0, "split");
        else if (name == "run_0002.h5")
            write(name, FileFormat::Hdf5, {100}, 2, 100, "user");
        else if (name == "copy_0002.h5")
            write(name, FileFormat::Hdf5, {100}, 2, 100, "user");
        else if (name == "fast_0002.h5" || name == "gain_0002.h5" || name == "regs_0002.h5" ||
                 name == "ref_0002.h5") {
            // A part of the same capture (chip, start time) whose conversion differs.
            CaptureFacts facts = Facts();
            if (name == "fast_0002.h5")
                facts.conversion.dataRateSps = 200;
            else if (name == "gain_0002.h5")
                facts.conversion = conversion::WithScale([&] {
                    conversion::ConversionFacts c = facts.conversion;
                    c.pgaGain = 2;
                    return c;
                }());
            else if (name == "regs_0002.h5")
                facts.registers = {0x01, 0x03, 0xA0};
            else
                facts.conversion.referenceVolts = 2.4;
            write(name, FileFormat::Hdf5, {100}, 2, 100, "user", {}, facts);
        } else if (name == "foreign_0001.h5" || name == "foreign_0002.h5" ||
                   name == "otherboard_0002.h5") {
            const bool second = name != "foreign_0001.h5";
            std::unique_ptr<CaptureWriter> writer = MakeWriter(FileFormat::Hdf5);
            CaptureFacts facts = Facts();
            // A board of the same chip started in the same second differs only by identity.
            if (name == "otherboard_0002.h5")
                facts.boardIdentity = QStringLiteral("/dev/serial/by-id/usb-other-board");
            else
                facts.startTime = QStringLiteral("2026-05-05T05:05:05+01:00");
            const uint64_t first = second ? 100 : 0;
            ASSERT_TRUE(writer->create(file(name), facts, {second ? 2 : 1, first}, false));
            const std::vector<double> seconds(100, 1.0);
            const BlockStamp block{first, 0, 0, 100};
            ASSERT_TRUE(writer->appendPiece(first, Codes(first, 100), seconds, &block));
            ASSERT_TRUE(writer->finish("user"));
        }
    }
};

TEST_P(BadCaptureFiles, AreRefusedNamingFileAndCause) {
    QStringList paths;
    for (const char *name : GetParam().files) {
        make(QString::fromLatin1(name));
        paths << file(QString::fromLatin1(name));
    }
    if (std::string(GetParam().name) == "absent")
        paths << file("absent.h5");
    CaptureSet set = ScanCaptureSet(paths);
    const QString expected = QString::fromUtf8(GetParam().message).arg(m_dir.path());
    EXPECT_EQ(set.errors.join(u'\n'), expected);
    EXPECT_FALSE(OpenRun(std::move(set), true));
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadCaptureFiles,
    ::testing::Values(
        BadSet{"notACapture",
               {"notes.txt"},
               "%1/notes.txt: not a capture file (neither the capture's HDF5 nor its CSV)"},
        BadSet{"empty",
               {"empty.h5"},
               "%1/empty.h5: not a capture file (neither the capture's "
               "HDF5 nor its CSV)"},
        BadSet{"absent", {}, "%1/absent.h5: cannot be read: No such file or directory"},
        BadSet{"wrongDatasets",
               {"other.h5"},
               "%1/other.h5: an HDF5 file without the capture's datasets (no \"codes\")"},
        BadSet{"brokenCode",
               {"broken.csv"},
               "%1/broken.csv: line 4 is broken: the code is not a whole number"},
        BadSet{"brokenFields",
               {"short.csv"},
               "%1/short.csv: line 4 is broken: 2 fields where the header names 4"},
        BadSet{"gapWhereItDoesNotFall",
               {"misplacedgap.csv"},
               "%1/misplacedgap.csv: line 4 is broken: the gap's at_sample is 0 where 1 samples "
               "come before it"},
        BadSet{"gapWithoutItsNumbers",
               {"gapnumber.csv"},
               "%1/gapnumber.csv: line 4 is broken: the gap's lost is \"many\", not a number"},
        BadSet{"noCodeColumn",
               {"nocode.csv"},
               "%1/nocode.csv: not a capture file (no \"code\" column after the facts)"},
        BadSet{"anotherCapture",
               {"run_0001.h5", "foreign_0002.h5"},
               "%1/foreign_0002.h5: not a part of the same capture as %1/run_0001.h5 (another "
               "board, chip or start time)"},
        BadSet{"anotherBoardOfTheChipStartedTogether",
               {"run_0001.h5", "otherboard_0002.h5"},
               "%1/otherboard_0002.h5: not a part of the same capture as %1/run_0001.h5 (another "
               "board, chip or start time)"},
        BadSet{"partTwice",
               {"run_0001.h5", "run_0002.h5", "copy_0002.h5"},
               "%1/copy_0002.h5: part 2 is given twice (also %1/run_0002.h5)"},
        BadSet{"twoUnrelatedFirstParts",
               {"run_0001.h5", "foreign_0001.h5"},
               "%1/foreign_0001.h5: not a part of the same capture as %1/run_0001.h5 (another "
               "board, chip or start time)"},
        BadSet{"partAtAnotherRate",
               {"run_0001.h5", "fast_0002.h5"},
               "%1/fast_0002.h5: does not belong with %1/run_0001.h5: its data_rate_sps is 200 "
               "where that part has 100"},
        BadSet{"partAtAnotherGain",
               {"gain_0002.h5", "run_0001.h5"},
               "%1/gain_0002.h5: does not belong with %1/run_0001.h5: its volts_per_code is "
               "1.490116119e-07 where that part has 2.980232239e-07"},
        BadSet{"partWithOtherRegisters",
               {"run_0001.h5", "regs_0002.h5"},
               "%1/regs_0002.h5: does not belong with %1/run_0001.h5: its registers are 01 03 A0 "
               "where that part has 01 02 A0"},
        BadSet{"partAtAnotherReference",
               {"run_0001.h5", "ref_0002.h5"},
               "%1/ref_0002.h5: does not belong with %1/run_0001.h5: its reference_volts is 2.4 "
               "where that part has 2.5"},
        BadSet{"rateInfinite",
               {"inf.h5"},
               "%1/inf.h5: data_rate_sps is inf: a rate must be from 0.001 to 1000000 samples "
               "a second"},
        BadSet{"rateHuge",
               {"huge.h5"},
               "%1/huge.h5: data_rate_sps is 1e+300: a rate must be from 0.001 to 1000000 samples "
               "a second"},
        BadSet{"rateNaN",
               {"nan.h5"},
               "%1/nan.h5: data_rate_sps is nan: a rate must be from 0.001 to 1000000 samples "
               "a second"},
        BadSet{"rateZero",
               {"zero.csv"},
               "%1/zero.csv: data_rate_sps is 0: a rate must be from 0.001 to 1000000 samples "
               "a second"},
        BadSet{"rateNegative",
               {"negative.csv"},
               "%1/negative.csv: data_rate_sps is -100: a rate must be from 0.001 to "
               "1000000 samples a second"},
        BadSet{"rateInWords",
               {"words.csv"},
               "%1/words.csv: data_rate_sps is nan: a rate must be from 0.001 to 1000000 samples "
               "a second"},
        BadSet{"guessedRateTiny",
               {"tiny.csv"},
               "%1/tiny.csv: data_rate_sps_from_registers is 1e-300: a rate must be from 0.001 "
               "to 1000000 samples a second"},
        BadSet{"fileNumberNaN",
               {"numberless.h5"},
               "%1/numberless.h5: file_number is nan, not a count"}),
    [](const auto &info) { return std::string(info.param.name); });
