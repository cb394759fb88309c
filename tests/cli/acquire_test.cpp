// acquire: the refresh, the items, the files of "Save File", the printed formats, the faults.

#include "cli_fixture.h"

#include "acquisition/data_files.h"
#include "acquisition/samples.h"
#include "cli/exit_codes.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>

using namespace cli::exit_code;
using Frame = std::array<uint8_t, 6>;

namespace {
QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<int32_t> samplesOf(const std::vector<uint8_t> &items) {
    std::vector<int32_t> samples;
    ConvertSamples(items.data(), static_cast<int>(items.size() / 4), samples);
    return samples;
}
} // namespace

TEST_F(CliBoardTest, AcquireRefreshesTheRegistersThenAsksForTheItems) {
    const CliRun r =
        run({QStringLiteral("acquire"), QStringLiteral("--count"), QStringLiteral("45")});
    ASSERT_EQ(r.status, kOk) << r.err;
    const std::vector<Frame> frames = board().receivedFrames();
    ASSERT_EQ(frames.size(), 2u + 11u + 1u); // handshake, eleven reads, the request
    for (int address = 0; address < 11; ++address) {
        EXPECT_EQ(frames[2 + address][2], 0x02);
        EXPECT_EQ(frames[2 + address][3], address);
    }
    EXPECT_EQ(frames.back(), (Frame{0x55, 0x01, 0x0F, 0x00, 0x2D, 0xC3}));
}

TEST_F(CliBoardTest, SavedFilesAreThoseOfTheMainWindowWriters) {
    const QString prefix = file(QStringLiteral("run1"));
    const CliRun r = run({QStringLiteral("acquire"), QStringLiteral("--count=1000"),
                          QStringLiteral("--out"), prefix});
    ASSERT_EQ(r.status, kOk) << r.err;
    EXPECT_EQ(r.out, "");
    const std::vector<uint8_t> items = sentItems(4000);
    ASSERT_EQ(items.size(), 4000u);

    // What "Save File" writes for the same items, through the acquisition library.
    const QString windowText = file(QStringLiteral("window.txt"));
    const QString windowRaw = file(QStringLiteral("window.bin"));
    ASSERT_EQ(SaveRawFile(windowRaw, items.data(), 4000, nullptr), 0);
    ASSERT_EQ(SaveTextFile(windowText, samplesOf(items), nullptr), 0);

    EXPECT_EQ(contents(prefix + QStringLiteral(".bin")), contents(windowRaw));
    EXPECT_EQ(contents(prefix + QStringLiteral(".txt")), contents(windowText));
    EXPECT_EQ(contents(prefix + QStringLiteral(".txt")).size(), 11000);
}

TEST_F(CliBoardTest, OneFormatWritesOneFile) {
    const struct {
        const char *format;
        const char *written;
        const char *absent;
    } cases[] = {
        {"txt", ".txt", ".bin"},
        {"bin", ".bin", ".txt"},
        {"csv", ".csv", ".txt"},
    };
    for (const auto &c : cases) {
        board().clearSentItemBytes();
        const QString prefix = file(QStringLiteral("one_") + QLatin1String(c.format));
        const CliRun r = run({QStringLiteral("acquire"), QStringLiteral("--count"),
                              QStringLiteral("20"), QStringLiteral("--format"),
                              QLatin1String(c.format), QStringLiteral("--out"), prefix});
        ASSERT_EQ(r.status, kOk) << r.err;
        EXPECT_TRUE(QFile::exists(prefix + QLatin1String(c.written))) << c.format;
        EXPECT_FALSE(QFile::exists(prefix + QLatin1String(c.absent))) << c.format;
    }
    const QByteArray csv = contents(file(QStringLiteral("one_csv.csv")));
    EXPECT_TRUE(csv.startsWith("index,code\n0,"));
    EXPECT_EQ(csv.count('\n'), 21);
}

TEST_F(CliBoardTest, WithoutOutTheSamplesGoToStandardOutput) {
    const CliRun plain = run({QStringLiteral("acquire"), QStringLiteral("--count=3")});
    ASSERT_EQ(plain.status, kOk) << plain.err;
    const std::vector<int32_t> samples = samplesOf(sentItems(12));
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(plain.out, std::to_string(samples[0]) + "\n" + std::to_string(samples[1]) + "\n" +
                             std::to_string(samples[2]) + "\n");

    board().clearSentItemBytes();
    const CliRun raw = run(
        {QStringLiteral("acquire"), QStringLiteral("--count=3"), QStringLiteral("--format=bin")});
    const std::vector<uint8_t> items = sentItems(12);
    EXPECT_EQ(raw.out, std::string(items.begin(), items.end()));

    board().clearSentItemBytes();
    const CliRun text = run(
        {QStringLiteral("acquire"), QStringLiteral("--count=3"), QStringLiteral("--format=txt")});
    EXPECT_EQ(QByteArray::fromStdString(text.out), FormatTextFile(samplesOf(sentItems(12))));
}

TEST_F(CliBoardTest, StatsAreTheMainWindowFigures) {
    const CliRun r = run({QStringLiteral("acquire"), QStringLiteral("--count=500"),
                          QStringLiteral("--stats"), QStringLiteral("--json")});
    ASSERT_EQ(r.status, kOk) << r.err;
    const std::vector<int32_t> samples = samplesOf(sentItems(2000));
    ASSERT_EQ(samples.size(), 500u);
    int64_t sum = 0;
    for (int32_t v : samples)
        sum += v;
    const QJsonObject stats = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    EXPECT_EQ(stats.value("count").toInt(), 500);
    EXPECT_EQ(stats.value("minimum").toInt(), *std::min_element(samples.begin(), samples.end()));
    EXPECT_EQ(stats.value("maximum").toInt(), *std::max_element(samples.begin(), samples.end()));
    EXPECT_EQ(stats.value("average").toInt(), static_cast<int>(sum / 500));
    // The virtual board's noise gives the analysis a finite resolution.
    EXPECT_GT(stats.value("rmsNoise").toDouble(), 0.0);
    EXPECT_GT(stats.value("effectiveBits").toDouble(), 0.0);

    const CliRun text = run({QStringLiteral("acquire"), QStringLiteral("--stats")});
    EXPECT_EQ(text.status, kOk);
    EXPECT_EQ(text.out.rfind("count           45\nminimum         ", 0), 0u) << text.out;
    EXPECT_NE(text.out.find("\nrms-noise       "), std::string::npos) << text.out;
}

// A sine on the board's input: --stats adds its figures, --spectrum writes the spectrum in
// hertz with the chosen window.
TEST_F(CliBoardTest, StatsGiveTheToneAndSpectrumWritesItsBins) {
    constexpr double kRate = 30000; // the chip's start rate
    sim::SignalModel signal = sim::DefaultSignal(sim::Chip::VXC5480);
    signal.sineHz = kRate * 64.3 / 2048;
    signal.sineAmplitudeVolts = 0.5;
    board().setSignal(signal);
    const QString path = file(QStringLiteral("spectrum.csv"));
    const CliRun r =
        run({QStringLiteral("acquire"), QStringLiteral("--count=2048"), QStringLiteral("--stats"),
             QStringLiteral("--json"), QStringLiteral("--spectrum"), path,
             QStringLiteral("--window=blackman-harris")});
    ASSERT_EQ(r.status, kOk) << r.err;
    EXPECT_EQ(r.err, "");
    const QJsonObject stats = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    EXPECT_EQ(stats.value("clipped").toInt(-1), 0);
    const QJsonObject tone = stats.value("tone").toObject();
    EXPECT_NEAR(tone.value("frequencyHz").toDouble(), signal.sineHz, kRate / 2048);
    EXPECT_GT(tone.value("snrDb").toDouble(), 60);
    for (const char *figure : {"amplitudeDbfs", "thdDb", "sinadDb", "sfdrDb", "enob"})
        EXPECT_TRUE(tone.value(QLatin1String(figure)).isDouble()) << figure;

    const QList<QByteArray> lines = contents(path).split('\n');
    ASSERT_EQ(lines.size(), 1 + 1025 + 1); // heading, bins 0 to 1024, the empty end
    EXPECT_EQ(lines[0], "frequency_hz,dbfs");
    EXPECT_EQ(lines[1024 + 1].split(',').at(0).toDouble(), kRate / 2);
    // The tone's bin stands far above its neighbours a few bins away.
    EXPECT_GT(lines[1 + 64].split(',').at(1).toDouble(),
              lines[1 + 80].split(',').at(1).toDouble() + 60);
}

TEST_F(CliBoardTest, NoiseAloneGivesNoToneLines) {
    const CliRun r =
        run({QStringLiteral("acquire"), QStringLiteral("--count=1000"), QStringLiteral("--stats")});
    ASSERT_EQ(r.status, kOk) << r.err;
    EXPECT_NE(r.out.find("\nclipped         0\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("snr"), std::string::npos) << r.out;
}

// An input far beyond full scale: the figures come with the count of clipped samples and the
// note on standard error.
TEST_F(CliBoardTest, AClippedRecordIsCountedAndTold) {
    sim::SignalModel signal = sim::DefaultSignal(sim::Chip::VXC5480);
    signal.inputVolts[0] = -9.0; // AIN0 - AIN1, far below -5 V
    board().setSignal(signal);
    const CliRun r = run({QStringLiteral("acquire"), QStringLiteral("--count=50"),
                          QStringLiteral("--stats"), QStringLiteral("--json")});
    ASSERT_EQ(r.status, kOk) << r.err;
    EXPECT_EQ(r.err, "pellorin-cli: Clipped: 50 of 50 samples at the code limits\n");
    const QJsonObject stats = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    EXPECT_EQ(stats.value("clipped").toInt(), 50);
    EXPECT_EQ(stats.value("minimum").toInt(), -8388608);
    EXPECT_TRUE(stats.value("effectiveBits").isNull());
    EXPECT_TRUE(stats.value("tone").isNull());
}

TEST_F(CliBoardTest, SpectrumAndWindowUsageErrorsTouchNoBoard) {
    const struct {
        QStringList arguments;
        const char *error;
    } cases[] = {
        {{"--window=flat-top", "--stats"}, "--window takes hann or blackman-harris"},
        {{"--window=hann"}, "--window goes with --stats or --spectrum"},
        {{"--count=7", "--spectrum", "s.csv"}, "--spectrum needs a --count of 8 or more"},
        {{"--spectrum"}, "--spectrum needs a value"},
    };
    for (const auto &c : cases) {
        const CliRun r = run(QStringList{QStringLiteral("acquire")} + c.arguments);
        EXPECT_EQ(r.status, kUsage) << c.error;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    }
    EXPECT_TRUE(board().receivedFrames().empty());
}

TEST_F(CliBoardTest, CountOutsideTheBoardsRangeIsAUsageError) {
    const struct {
        const char *count;
        const char *error;
    } cases[] = {
        {"0", "--count must be a number from 1 to 65535 (decimal or 0x hex)"},
        {"-5", "--count must be a number from 1 to 65535"},
        {"abc", "--count must be a number from 1 to 65535"},
        {"65536", "--count must be a number from 1 to 65535"},
        {"0x10000", "--count must be a number from 1 to 65535"},
    };
    for (const auto &c : cases) {
        const CliRun r =
            run({QStringLiteral("acquire"), QStringLiteral("--count"), QLatin1String(c.count)});
        EXPECT_EQ(r.status, kUsage) << c.count;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    }
    EXPECT_TRUE(board().receivedFrames().empty());
}

TEST_F(CliBoardTest, ABadItemChecksumWritesNothing) {
    sim::Faults faults;
    faults.badItemIndex = 7;
    board().setFaults(faults);
    const QString prefix = file(QStringLiteral("bad"));
    const CliRun r = run(
        {QStringLiteral("acquire"), QStringLiteral("--count=20"), QStringLiteral("--out"), prefix});
    EXPECT_EQ(r.status, kItemChecksum);
    EXPECT_EQ(r.err, "pellorin-cli: The checksum of item 7 is invalid !\n");
    EXPECT_FALSE(QFile::exists(prefix + QStringLiteral(".bin")));
    EXPECT_FALSE(QFile::exists(prefix + QStringLiteral(".txt")));
}

// A hang-up is a port error (4096 + the port's error), not a time-out.
TEST_F(CliBoardTest, AHangUpMidStreamIsAFailedExchange) {
    sim::Faults faults;
    faults.hangUpAfterItems = 10;
    board().setFaults(faults);
    const CliRun r = run({QStringLiteral("acquire"), QStringLiteral("--count=20")});
    EXPECT_EQ(r.status, kExchange);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("pellorin-cli: Get item 10 failed !\n"
                          "pellorin-cli: acquire failed: result code 410",
                          0),
              0u)
        << r.err;
}

TEST_F(CliBoardTest, ASilentStreamIsAFailedExchangeWithTheTimeOutCode) {
    sim::Faults faults;
    faults.stopAfterItems = 5;
    board().setFaults(faults);
    const ExpectSilence silence;
    const CliRun r = run({QStringLiteral("acquire"), QStringLiteral("--count=20")});
    EXPECT_EQ(r.status, kExchange);
    EXPECT_EQ(r.err, "pellorin-cli: Get item 5 failed !\n"
                     "pellorin-cli: acquire failed: result code 997\n");
}

// The longest acquisition is not taken only to be thrown away: every file a command will write
// is checked first, a link whose file is missing and the later parts of a split capture too.
// "@" stands for the test's folder.
TEST_F(CliBoardTest, AnOutputThatCannotBeWrittenIsRefusedBeforeTheBoard) {
    const struct {
        const char *arguments;
        const char *existing; // made first: a file, a folder when it ends with "/", or
                              // "LINK>TARGET", a symbolic link
        const char *says;
    } cases[] = {
        {"acquire --count 65535 --out @no/such/folder/run", "",
         "@no/such/folder/run.bin: No such folder"},
        {"acquire --count 65535 --out @adir/", "", "@adir/: Names a folder, not a file"},
        {"acquire --count 8 --spectrum @sl.csv", "sl.csv>@gone/s.csv", "@sl.csv: No such folder"},
        {"scan --pairs --count 5 --out @scan.csv", "scan.csv/", "@scan.csv: Is a folder"},
        {"scan --pairs --count 5 --out @sl.csv", "sl.csv>@gone/s.csv", "@sl.csv: No such folder"},
        {"profile save @p.ini", "p.ini>@gone/p.ini", "@p.ini: No such folder"},
        {"capture --samples 10 --out @link.h5", "link.h5>@target.h5",
         "@link.h5: A link to a file that does not exist (--force writes through it)"},
        {"capture --samples 10 --split 1:00:00 --out @run.h5", "run_0002.h5",
         "@run_0002.h5: The file exists (--force replaces it)"},
        {"capture --samples 10 --split 60 --force --format csv --out @run.csv", "run_0012.csv/",
         "@run_0012.csv: Is a folder"},
        {"capture --samples 10 --split 60 --out @part", "part_10000>@gone/x",
         "@part_10000: No such folder"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments);
        QTemporaryDir dir;
        const auto here = [&dir](const char *text) {
            return QString::fromLatin1(text).replace(u'@', dir.path() + u'/');
        };
        const QString existing = here(c.existing);
        if (existing.contains(u'>')) {
            ASSERT_TRUE(
                QFile::link(existing.section(u'>', 1), dir.filePath(existing.section(u'>', 0, 0))));
        } else if (existing.endsWith(u'/')) {
            ASSERT_TRUE(QDir(dir.path()).mkdir(existing));
        } else if (!existing.isEmpty()) {
            QFile made(dir.filePath(existing));
            ASSERT_TRUE(made.open(QIODevice::WriteOnly));
        }
        const CliRun r = run(here(c.arguments).split(u' '));
        EXPECT_EQ(r.status, kFile);
        EXPECT_EQ(r.err, "pellorin-cli: " + here(c.says).toStdString() + "\n");
        EXPECT_TRUE(board().receivedFrames().empty());
    }
}

TEST_F(CliBoardTest, AFailedRefreshIsToldAndTheAcquisitionGoesOn) {
    sim::Faults faults;
    faults.statusForAddress[0x04] = 2;
    board().setFaults(faults);
    const CliRun r = run({QStringLiteral("acquire"), QStringLiteral("--count=2")});
    EXPECT_EQ(r.status, kOk);
    EXPECT_EQ(r.err, "pellorin-cli: Read Register Address 04 Failed !\n");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
}

// The 2-channel board at its start mode (PGA 128, 10 SPS): a bridge's millivolts, not a line
// pinned at the top code.
class CliAcquire2chTest : public CliBoardTest {
  protected:
    sim::Chip chip() const override { return sim::Chip::VXC5420; }
};

TEST_F(CliAcquire2chTest, StartModeGivesFiguresOfNoiseNotOfAClip) {
    const CliRun r =
        run({QStringLiteral("--chip"), QStringLiteral("VXC5420"), QStringLiteral("acquire"),
             QStringLiteral("--count=50"), QStringLiteral("--stats"), QStringLiteral("--json")});
    ASSERT_EQ(r.status, kOk) << r.err;
    EXPECT_EQ(r.err, "");
    const QJsonObject stats = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    EXPECT_EQ(stats.value("clipped").toInt(-1), 0);
    EXPECT_GT(stats.value("rmsNoise").toDouble(), 1.0);
    EXPECT_GT(stats.value("effectiveBits").toDouble(), 18.0);
    EXPECT_LT(stats.value("maximum").toInt(), 8388607 / 2);
}
