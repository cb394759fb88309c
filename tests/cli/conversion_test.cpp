// --reference and --mode: checked against the chip before the board is touched, and recorded
// with the facts in the JSON and in the capture's file; a gain the command line did not know
// is never claimed.

#include "cli_fixture.h"

#include "../capture/capture_file_reader.h"
#include "cli/exit_codes.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

using namespace cli::exit_code;

namespace {
struct Refused {
    const char *arguments;
    const char *message; // a part of the one line on standard error
};

class CliConversion2chTest : public CliBoardTest {
  protected:
    sim::Chip chip() const override { return sim::Chip::VXC5420; }
};
} // namespace

// Each chip's own bounds, and modes only where the chip has them: usage errors, before the
// board hears anything.
TEST_F(CliBoardTest, ReferenceAndModeOutsideTheChipAreRefusedFirst) {
    const Refused cases[] = {
        {"acquire --stats --reference 2.7", "--reference takes the reference in volts, from 0.5 "
                                            "to 2.6 on the VXC5480"},
        {"scan --pairs --count 5 --reference 0.4", "from 0.5 to 2.6 on the VXC5480"},
        {"capture --out x.h5 --reference abc", "from 0.5 to 2.6 on the VXC5480"},
        {"acquire --stats --mode 1", "--mode: the VXC5480 has no modes"},
        {"acquire --reference 2", "--reference goes with --stats"},
        {"--chip VXC5420 acquire --stats --mode 5", "--mode must be a number from 1 to 4"},
        {"--chip VXC5420 capture --out x.h5 --reference 5.4", "from 0.5 to 5.3 on the VXC5420"},
    };
    for (const Refused &c : cases) {
        const CliRun r = run(words(c.arguments));
        EXPECT_EQ(r.status, kUsage) << c.arguments;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.arguments << "\n" << r.err;
    }
    EXPECT_TRUE(board().receivedFrames().empty());
}

// Without --mode the gain and rate are CR1's guesses: recorded under names that say so, with
// no microvolts. With it (and a reference) the figures come in microvolts of that scale.
TEST_F(CliConversion2chTest, StatsRecordTheModeAndClaimOnlyAKnownGain) {
    const QJsonObject guessed =
        jsonOf(run(words("--chip VXC5420 acquire --count 50 --stats --json")).out);
    EXPECT_EQ(guessed.value("mode").toString(), "mode unknown: gain and rate from CR1");
    EXPECT_FALSE(guessed.contains("pga_gain"));
    EXPECT_TRUE(guessed.contains("pga_gain_from_registers"));
    EXPECT_TRUE(guessed.value("rmsNoiseMicrovolts").isNull());
    EXPECT_EQ(guessed.value("reference_source").toString(), "default");
    EXPECT_EQ(guessed.value("reference_volts").toDouble(), 2.5);

    const CliRun r = run(words("--chip VXC5420 acquire --count 50 --stats --json --mode 1 "
                               "--reference 3.3"));
    ASSERT_EQ(r.status, kOk) << r.err;
    const QJsonObject known = jsonOf(r.out);
    EXPECT_EQ(known.value("mode").toString(), "1: PGA 128 / 10 SPS");
    EXPECT_EQ(known.value("pga_gain").toDouble(), 128);
    EXPECT_EQ(known.value("reference_volts").toDouble(), 3.3);
    EXPECT_EQ(known.value("reference_source").toString(), "given");
    // 2 x 3.3 V / 128 over 2^24 codes.
    EXPECT_DOUBLE_EQ(known.value("rmsNoiseMicrovolts").toDouble(),
                     known.value("rmsNoise").toDouble() * 6.6 / 128 / 16777216 * 1e6);
}

// The capture's file: the HDF5 attributes of a known mode and a given reference; the CSV's "#"
// lines of an unknown mode, whose volts column stays empty.
TEST_F(CliConversion2chTest, CaptureFilesRecordReferenceAndMode) {
    const QString h5 = file(QStringLiteral("known.h5"));
    CliRun r = run(words("--chip VXC5420 capture --samples 20 --block 20 --mode 2 --reference 4") +
                   QStringList{QStringLiteral("--out"), h5});
    ASSERT_EQ(r.status, kOk) << r.err;
    const CaptureFileContents known = ReadHdf5Capture(h5);
    ASSERT_TRUE(known.opened);
    EXPECT_EQ(known.text.at("mode"), "2: PGA 1 / 40 SPS (DVDD-AVDD)");
    EXPECT_EQ(known.text.at("reference_source"), "given");
    EXPECT_EQ(known.numbers.at("reference_volts"), 4.0);
    EXPECT_EQ(known.numbers.at("pga_gain"), 1.0);
    EXPECT_EQ(known.numbers.at("data_rate_sps"), 40.0);
    EXPECT_DOUBLE_EQ(known.numbers.at("volts_per_code"), 8.0 / 16777216);

    const QString csv = file(QStringLiteral("guessed.csv"));
    r = run(words("--chip VXC5420 capture --samples 20 --block 20 --format csv") +
            QStringList{QStringLiteral("--out"), csv});
    ASSERT_EQ(r.status, kOk) << r.err;
    EXPECT_NE(r.err.find("VXC5420: mode unknown: gain and rate from CR1; no volts without --mode"),
              std::string::npos)
        << r.err;
    const CaptureFileContents guessed = ReadCsvCapture(csv);
    EXPECT_EQ(guessed.text.at("mode"), "mode unknown: gain and rate from CR1");
    EXPECT_EQ(guessed.text.at("reference_source"), "default");
    EXPECT_EQ(guessed.text.count("pga_gain"), 0u);
    EXPECT_EQ(guessed.text.count("pga_gain_from_registers"), 1u);
    QFile lines(csv);
    ASSERT_TRUE(lines.open(QIODevice::ReadOnly));
    const QByteArray all = lines.readAll();
    const qsizetype firstSample = all.indexOf("\n0,") + 1;
    ASSERT_GT(firstSample, 0);
    EXPECT_TRUE(all.mid(firstSample, all.indexOf('\n', firstSample) - firstSample).endsWith(','));
}
