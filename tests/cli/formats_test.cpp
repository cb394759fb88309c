// The command line's pure parts: options, numbers, output formats on a buffer, help and manual.

#include "capture/file_names.h"
#include "chips/tables/chip_table.h"
#include "chips/tables/number_text.h"
#include "cli/board_files.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/help_text.h"
#include "cli/output_formats.h"
#include "cli/scan_limits.h"

#include "platform/message_service.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace cli;

namespace {
// The VXC5480 at gain 1 and 30000 SPS, at its default 2.5 V: 10 V over 2^24 codes.
conversion::ConversionFacts EightChannelFacts() {
    std::vector<uint8_t> image(11, 0);
    image[3] = 0xF0; // DRATE
    return ChipTable().front().facts(image, 0, std::nullopt);
}
} // namespace

TEST(CliOptions, GlobalOptionsStopAtTheCommand) {
    const CliOptions o =
        ParseCliOptions({"--port", "/dev/a", "--port=/dev/b", "--no-scan", "--simulate=vxc5420",
                         "--pace=none", "regs", "--port", "x"});
    EXPECT_EQ(o.error, QString());
    EXPECT_EQ(o.pacing, sim::Pacing::None);
    EXPECT_EQ(ParseCliOptions({"--simulate", "detect"}).pacing, sim::Pacing::Real);
    EXPECT_EQ(o.ports, (QStringList{"/dev/a", "/dev/b"}));
    EXPECT_TRUE(o.noScan);
    EXPECT_TRUE(o.simulate);
    EXPECT_EQ(o.simulatedChip, QStringLiteral("VXC5420"));
    EXPECT_EQ(ExpectedChip(o), QStringLiteral("VXC5420"));
    EXPECT_EQ(o.command, QStringLiteral("regs"));
    EXPECT_EQ(o.arguments, (QStringList{"--port", "x"}));
}

TEST(CliOptions, ErrorsTable) {
    const struct {
        QStringList arguments;
        const char *error;
    } cases[] = {
        {{"--port"}, "--port needs a value"},
        {{"--port="}, "--port needs a value"},
        {{"--chip", "VXC9999"}, "unknown chip VXC9999"},
        {{"--simulate=ABC"}, "unknown chip ABC"},
        {{"--verbose", "regs"}, "unknown option --verbose"},
        {{"--port", "--json", "detect"}, "--port needs a value, not --json"},
        {{"--chip", "VXC5480", "--chip", "VXC5420", "detect"}, "--chip given twice"},
        {{"--simulate", "--simulate=VXC5420", "detect"}, "--simulate given twice"},
        {{"--json", "detect", "--json"}, "--json given twice"},
        {{"--simulate", "--pace=slow", "detect"}, "--pace=slow needs real, wire or none"},
        {{"--pace=none", "detect"}, "--pace needs --simulate"},
        {{"--simulate=VXC5480,ABC", "detect"}, "unknown chip ABC"},
        {{"--all-boards", "--all-boards", "regs"}, "--all-boards given twice"},
    };
    for (const auto &c : cases) {
        const CliOptions o = ParseCliOptions(c.arguments);
        EXPECT_TRUE(o.error.startsWith(QLatin1String(c.error)))
            << c.arguments.join(u' ').toStdString() << ": " << o.error.toStdString();
    }
}

TEST(CliOptions, ChipDefaultsToTheFirstOfTheCatalogue) {
    EXPECT_EQ(ExpectedChip(ParseCliOptions({"detect"})), QStringLiteral("VXC5480"));
    EXPECT_EQ(ExpectedChip(ParseCliOptions({"--simulate", "--chip", "vxc5420", "detect"})),
              QStringLiteral("VXC5420"));
}

TEST(CliOptions, CommandArgumentsSplitIntoWordsAndOptions) {
    QString error;
    const CommandArguments a = SplitArguments({"--count", "10", "--out=p", "--stats", "x"},
                                              {"--count", "--out"}, {"--stats"}, error);
    EXPECT_EQ(error, QString());
    EXPECT_EQ(a.value("--count"), QStringLiteral("10"));
    EXPECT_EQ(a.value("--out"), QStringLiteral("p"));
    EXPECT_TRUE(a.has("--stats"));
    EXPECT_EQ(a.words, QStringList{"x"});
    SplitArguments({"--count"}, {"--count"}, {}, error);
    EXPECT_EQ(error, QStringLiteral("--count needs a value"));
}

TEST(CliNumbers, DecimalOrHexWithAnyLeadingZerosAndNothingElse) {
    const struct {
        const char *text;
        bool ok;
        int64_t value;
    } cases[] = {
        {"0", true, 0},
        {"255", true, 255},
        {"0x1f", true, 31},
        {"0XFF", true, 255},
        {"00000000000000000045", true, 45},
        {"0x000000000000000000FF", true, 255},
        {"0x0", true, 0},
        {"99999999999", true, 99999999999},
        {"123456789012345678901234567890", true, INT64_MAX}, // in no range
        {"0x123456789ABCDEF0123", true, INT64_MAX},
        {"", false, 0},
        {"0x", false, 0},
        {"-1", false, 0},
        {"+1", false, 0},
        {"12a", false, 0},
        {"0xg", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"1.5", false, 0},
        {"\u0661", false, 0}, // a digit, but not an ASCII one
    };
    for (const auto &c : cases) {
        int64_t value = -7;
        EXPECT_EQ(ParseNumber(QString::fromUtf8(c.text), value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
    EXPECT_EQ(HexByte(0x0A), QStringLiteral("0x0A"));
}

TEST(CliNumbers, RangesShareOneMessage) {
    int64_t value = -7;
    EXPECT_TRUE(ParseNumberIn(QStringLiteral("0x00FF"), 0, 255, value));
    EXPECT_EQ(value, 255);
    EXPECT_FALSE(ParseNumberIn(QStringLiteral("256"), 0, 255, value));
    EXPECT_FALSE(ParseNumberIn(QStringLiteral("0"), 1, 4, value));
    EXPECT_FALSE(ParseNumberIn(QStringLiteral("four"), 1, 4, value));
    EXPECT_EQ(value, 255) << "a refused number leaves the value alone";
    EXPECT_EQ(NumberMessage(QStringLiteral("--count"), 1, 65535),
              QStringLiteral("--count must be a number from 1 to 65535 (decimal or 0x hex)"));
}

// Usage errors end the run before any board is looked for, so they need none. Each is also
// run with --json (where it does not name --json itself): the same message then comes as one
// object on standard output with the exit status.
TEST(CliUsage, UsageErrorsEndTheRunBeforeAnyBoard) {
    const struct {
        QStringList arguments;
        const char *says;
    } cases[] = {
        {{"--port", "--json", "detect"}, "needs a value, not --"},
        {{"--port=--no-scan", "detect"}, "needs a value, not --"},
        {{"--chip", "--simulate", "detect"}, "needs a value, not --"},
        {{"acquire", "--count", "--stats"}, "needs a value, not --"},
        {{"acquire", "--out", "--stats"}, "needs a value, not --"},
        {{"acquire", "--out=--x"}, "needs a value, not --"},
        {{"acquire", "--format", "--json"}, "needs a value, not --"},
        {{"firmware-update", "--image", "--simulate"}, "needs a value, not --"},
        // An option given twice is a fault of the script, not last-wins.
        {{"capture", "--out", "a.h5", "--out", "b.h5"}, "--out given twice (give it once)"},
        {{"capture", "--out=a.h5", "--samples", "1", "--samples=2"}, "--samples given twice"},
        {{"capture", "--out", "a.h5", "--force", "--force"}, "--force given twice"},
        {{"acquire", "--stats", "--count", "5", "--count", "5"}, "--count given twice"},
        {{"scan", "--pairs", "--pairs", "--count", "5"}, "--pairs given twice"},
        // Every count has its range, named; 2^64 is not "forever".
        {{"capture", "--out", "a.h5", "--samples", "18446744073709551616"},
         "--samples must be a number from 1 to 1000000000000000 (decimal or 0x hex)"},
        {{"capture", "--out", "a.h5", "--samples", "0"}, "--samples must be a number from 1 to"},
        {{"capture", "--out", "a.h5", "--block", "65536"},
         "--block must be a number from 1 to 65535 (decimal or 0x hex)"},
        {{"capture", "--out", "a.h5", "--duration", "1000000000"},
         "--duration (seconds) must be a number from 1 to 999999999 (decimal or 0x hex), or "
         "H:MM:SS up to 277777:46:39"},
        {{"capture", "--out", "a.h5", "--duration", "277777:46:40"},
         "--duration (seconds) must be a number from 1 to 999999999"},
        {{"capture", "--out", "a.h5", "--split", "0:00:00"},
         "--split (seconds) must be a number from 1 to 999999999"},
        {{"scan", "--pairs", "--count", "65535", "--discard", "3"},
         "--count 65535 and --discard 3 add up to 65538; together they must be at most 65535"},
        {{"scan", "--pairs", "--count", "many"},
         "--count must be a number from 1 to 65535 (decimal or 0x hex)"},
        {{"scan", "--pairs", "--count", "5", "--discard", "65535"},
         "--discard must be a number from 0 to 65534"},
        {{"scan", "--pairs", "--count", "5", "--repeat", "1001"},
         "--repeat must be a number from 1 to 1000"},
        {{"scan", "--pairs", "--count", "5", "--reference", "1000.1"},
         "--reference takes the reference in volts, from 0.5 to 2.6 on the VXC5480"},
        // One number rule: blanks are no part of a number, whichever option it is.
        {{"capture", "--out", "a.h5", "--samples", " 10"}, "--samples must be a number from 1"},
        {{"capture", "--out", "a.h5", "--duration", " 2"}, "--duration (seconds) must be a number"},
        {{"capture", "--out", "a.h5", "--duration", "0:00:02 "},
         "--duration (seconds) must be a number"},
        {{"scan", "--pairs", "--count", "5 "}, "--count must be a number from 1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunCli(c.arguments, out, err), exit_code::kUsage);
        EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
        if (!c.arguments.contains(QLatin1String("--json"))) {
            EXPECT_EQ(out.str(), "");
            std::ostringstream jsonErr;
            out.str("");
            EXPECT_EQ(RunCli(QStringList{"--json"} + c.arguments, out, jsonErr), exit_code::kUsage);
            err.str(jsonErr.str());
        }
        // One object: the message of standard error and the exit status.
        const std::string printed = out.str();
        ASSERT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
        const QJsonObject failure =
            QJsonDocument::fromJson(QByteArray::fromStdString(printed)).object();
        EXPECT_EQ(failure.value("exitStatus").toInt(), exit_code::kUsage) << printed;
        const QString error = failure.value("error").toString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(err.str(), "pellorin-cli: " + error.toStdString() + "\n");
    }
}

TEST(CliChipTable, RegistersByNameAliasAndAddress) {
    const ChipSupport *chip = FindChipSupport(QStringLiteral("vxc5480"));
    ASSERT_NE(chip, nullptr);
    EXPECT_EQ(chip->registerCount(), 11);
    EXPECT_EQ(RegisterAddress(*chip, "status"), 0);
    EXPECT_EQ(RegisterAddress(*chip, "DRAT"), 3);
    EXPECT_EQ(RegisterAddress(*chip, "DRATE"), 3);
    EXPECT_EQ(RegisterAddress(*chip, "0x0A"), 10);
    EXPECT_EQ(RegisterAddress(*chip, "11"), -1);
    EXPECT_EQ(RegisterAddress(*chip, "CR0"), -1);
    EXPECT_EQ(FindCommand(*chip, "SELF-GAIN")->code, 0x05);
    EXPECT_EQ(FindChipSupport("VXC5421"), nullptr);
}

TEST(CliFormats, RegisterTableAndJson) {
    std::ostringstream table;
    WriteRegisterTable(table, {{0, "Status", 0x30}, {10, "FSC2", 0x40}});
    EXPECT_EQ(table.str(), "ADDR  NAME    VALUE\n0x00  Status  0x30\n0x0A  FSC2    0x40\n");
    std::ostringstream json;
    WriteRegisterJson(json, "VXC5480", "/dev/x", {{1, "MUX", 0x01}});
    EXPECT_EQ(json.str(), "{\"chip\":\"VXC5480\",\"port\":\"/dev/x\",\"registers\":"
                          "[{\"address\":1,\"name\":\"MUX\",\"value\":1}]}\n");
    std::ostringstream detect;
    WriteDetectText(detect, "/dev/pts/3", "VXC5480");
    EXPECT_EQ(detect.str(), "/dev/pts/3\tVXC5480\n");
}

TEST(CliFormats, SamplesPlainAndCsv) {
    const std::vector<int32_t> samples{5, -3, 8388607, -8388608};
    std::ostringstream plain;
    WriteSamplesPlain(plain, samples);
    EXPECT_EQ(plain.str(), "5\n-3\n8388607\n-8388608\n");
    std::ostringstream csv;
    WriteSamplesCsv(csv, samples);
    EXPECT_EQ(csv.str(), "index,code\n0,5\n1,-3\n2,8388607\n3,-8388608\n");
}

TEST(CliFormats, StatsFollowTheMainWindowAverage) {
    // The average is truncated toward zero, as the window's "Average" edit shows it.
    const SampleStats stats = ComputeStats({-8388608, -8388607, 8388607});
    EXPECT_EQ(stats.count, 3);
    EXPECT_EQ(stats.average, -2796202);
    EXPECT_EQ(stats.peakToPeak, 16777215);
    EXPECT_EQ(ComputeStats({}).count, 0);
}

TEST(CliFormats, NoiseFiguresInTextAndJson) {
    // Two levels one code apart: sigma 0.5, peak-to-peak 1.
    const SampleStats stats = ComputeStats({10, 11, 10, 11});
    EXPECT_DOUBLE_EQ(stats.mean, 10.5);
    EXPECT_DOUBLE_EQ(stats.rmsNoise, 0.5);
    EXPECT_DOUBLE_EQ(stats.effectiveBits, 25.0);
    EXPECT_DOUBLE_EQ(stats.noiseFreeBits, 24.0);
    std::ostringstream text;
    WriteStatsText(text, stats, EightChannelFacts());
    EXPECT_EQ(text.str(), "count           4\nminimum         10\nmaximum         11\n"
                          "average         10\npeak-to-peak    1\nmean            10.500\n"
                          "rms-noise       0.500\neffective-bits  25.000\n"
                          "noise-free-bits 24.000\nskewness        0.000\n"
                          "excess-kurtosis -2.000\nclipped         0\n"
                          // One code is 10 V / 2^24 = 0.596 uV.
                          "rms-noise-uv    0.298\npeak-to-peak-uv 0.596\n"
                          "reference_volts 2.5\nreference_source default\npga_gain        1\n"
                          "data_rate_sps   30000\nvolts_per_code  5.96046448e-07\n");

    // A record without noise has no finite resolution: null in JSON.
    std::ostringstream json;
    WriteStatsJson(json, ComputeStats({7, 7}), EightChannelFacts());
    EXPECT_EQ(json.str(), "{\"average\":7,\"clipped\":0,\"count\":2,\"data_rate_sps\":30000,"
                          "\"effectiveBits\":null,\"excessKurtosis\":null,\"maximum\":7,"
                          "\"mean\":7,\"minimum\":7,\"noiseFreeBits\":null,\"peakToPeak\":0,"
                          "\"peakToPeakMicrovolts\":0,\"pga_gain\":1,"
                          "\"reference_source\":\"default\",\"reference_volts\":2.5,"
                          "\"rmsNoise\":0,\"rmsNoiseMicrovolts\":0,\"skewness\":null,"
                          "\"tone\":null,\"volts_per_code\":5.960464477539062e-07}\n");
}

// A converter pinned at its top: the clipped count, and null where the figures would be
// infinite, in text as in JSON.
TEST(CliFormats, ClippedRecordGivesItsCountAndNullsInPlaceOfInfinities) {
    const SampleStats stats = ComputeStats({8388607, 8388607, 8388607});
    EXPECT_EQ(stats.clipped, 3);
    std::ostringstream text;
    WriteStatsText(text, stats, EightChannelFacts());
    EXPECT_NE(text.str().find("effective-bits  null\nnoise-free-bits null\n"), std::string::npos)
        << text.str();
    EXPECT_NE(text.str().find("\nclipped         3\n"), std::string::npos) << text.str();
    EXPECT_EQ(text.str().find("inf"), std::string::npos) << text.str();
    std::ostringstream json;
    WriteStatsJson(json, stats, EightChannelFacts());
    EXPECT_NE(json.str().find("\"clipped\":3,"), std::string::npos) << json.str();
    EXPECT_NE(json.str().find("\"effectiveBits\":null,"), std::string::npos) << json.str();
}

TEST(CliFormats, ToneFiguresFollowTheNoiseFigures) {
    SampleStats stats = ComputeStats({10, 11, 10, 11});
    stats.tone = analysis::ToneMetrics{50.5, -6.02, 90.25, -110.5, 90.2, 101.75, 14.68, 7};
    std::ostringstream text;
    WriteStatsText(text, stats, EightChannelFacts());
    const std::string tail = "volts_per_code  5.96046448e-07\ntone-frequency  50.500\n"
                             "tone-amplitude  -6.020\n"
                             "snr             90.250\nthd             -110.500\n"
                             "sinad           90.200\nsfdr            101.750\n"
                             "enob            14.680\n";
    EXPECT_EQ(text.str().substr(text.str().size() - tail.size()), tail);
    std::ostringstream json;
    WriteStatsJson(json, stats, EightChannelFacts());
    EXPECT_NE(json.str().find("\"tone\":{\"amplitudeDbfs\":-6.02,\"enob\":14.68,"
                              "\"frequencyHz\":50.5,\"sfdrDb\":101.75,\"sinadDb\":90.2,"
                              "\"snrDb\":90.25,\"thdDb\":-110.5}"),
              std::string::npos)
        << json.str();
}

TEST(CliConsole, MessagesGoToStandardErrorAndProgressOnlyOnATerminal) {
    std::ostringstream out;
    std::ostringstream err;
    Console console(out, err, false);
    {
        ConsolePresenter presenter(console);
        platform::ShowMessage(nullptr, QStringLiteral("DUT Disconnect"), QStringLiteral("Error"));
        console.progress(QStringLiteral("Collecting"), 50);
    }
    EXPECT_EQ(err.str(), "pellorin-cli: DUT Disconnect\n");
    EXPECT_EQ(out.str(), "");

    std::ostringstream terminal;
    Console shown(out, terminal, true);
    shown.progress(QStringLiteral("Collecting"), 7);
    shown.message(QStringLiteral("Get item 3 failed !"));
    // The line is blanked before the message, so the two never share a line.
    EXPECT_EQ(terminal.str(), "\rCollecting 7%\r\033[Kpellorin-cli: Get item 3 failed !\n");
}

TEST(CliHelp, EveryCommandHasHelpAndAManualEntry) {
    const QString program = ProgramHelpText();
    const QString manual = ManPage();
    EXPECT_TRUE(manual.startsWith(QLatin1String(".TH PELLORIN\\-CLI 1")));
    for (const char *name :
         {"detect", "regs", "get", "set", "command", "acquire", "profile", "firmware-update"}) {
        const HelpEntry *entry = FindCommandHelp(QLatin1String(name));
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_TRUE(program.contains(QLatin1String(entry->synopsis))) << name;
        EXPECT_TRUE(CommandHelpText(*entry).startsWith(QLatin1String("Usage: pellorin-cli")));
        QString synopsis = QLatin1String(entry->synopsis);
        EXPECT_TRUE(manual.contains(synopsis.replace(u'-', QLatin1String("\\-")))) << name;
    }
    // No line of the manual may start a request by accident.
    for (const QString &line : manual.split(u'\n')) {
        if (line.startsWith(u'.')) {
            EXPECT_TRUE(
                line.startsWith(QLatin1String(".TH")) || line.startsWith(QLatin1String(".SH")) ||
                line.startsWith(QLatin1String(".TP")) || line.startsWith(QLatin1String(".B")) ||
                line.startsWith(QLatin1String(".PP")) || line.startsWith(QLatin1String(".IP")))
                << line.toStdString();
        }
    }
}

namespace {

TEST(CliScanLimits, EachLineIsReadOrRefusedWithItsNumberAndCause) {
    const struct {
        const char *text;
        const char *error; // empty: read
        double noise = 0, mean = 0;
    } cases[] = {
        {"VXC5480 AIN0-AINCOM 2.5 \u00b5V 20 mV", "", 2.5e-6, 20e-3},
        {"# comment\n\nvxc5480  ain1-aincom  500nV  1V", "", 500e-9, 1.0},
        {"VXC5420 AIN0-AIN1 3 uV 0.5 mV", "", 3e-6, 0.5e-3},
        {"VXC5480 AIN0-AINCOM 2.5 kV 20 mV", "line 1: noise: unknown unit kV"},
        {"\nVXC5480 AIN0-AINCOM 2.5 20 mV", "line 2: noise: 2.5 has no unit"},
        {"VXC5480 AIN0-AINCOM -1 mV 20 mV", "line 1: noise: -1 is no limit"},
        {"VXC5480 AIN0-AINCOM 1 mV", "line 1: give CHIP INPUT NOISE UNIT MEAN UNIT"},
        {"VXC9999 AIN0-AINCOM 1 mV 1 mV", "line 1: unknown chip VXC9999"},
        {"VXC5480 AIN9-AINCOM 1 mV 1 mV", "line 1: "},
        {"VXC5480 AIN0-AIN1,AIN2-AIN3 1 mV 1 mV", "line 1: one input a line"},
        {"VXC5480 AIN0-AINCOM 1 mV 1 mV\nVXC5480 AIN0-AINCOM 2 mV 1 mV",
         "line 2: this chip and input have a limit on line 1 already"},
        {"# nothing\n", "no limits in it"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        ScanLimits limits;
        QString error;
        const bool read = ParseScanLimits(QString::fromUtf8(c.text), limits, error);
        EXPECT_EQ(read, *c.error == 0) << error.toStdString();
        if (!read) {
            EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.error))) << error.toStdString();
        }
        if (read) {
            ASSERT_EQ(limits.limits.size(), 1u);
            EXPECT_DOUBLE_EQ(limits.limits[0].maxRmsVolts, c.noise);
            EXPECT_DOUBLE_EQ(limits.limits[0].maxAbsMeanVolts, c.mean);
        }
    }
}

TEST(CliBoardFiles, ABoardPartIsNeverTakenForASplitNumber) {
    EXPECT_EQ(capture::BoardFilePart(QStringLiteral("/dev/ttyUSB0"), {}),
              QStringLiteral("board-ttyUSB0"));
    EXPECT_EQ(capture::BoardFilePart(QStringLiteral("/tmp/x/run_0002"), {}),
              QStringLiteral("board-run-0002"));
    EXPECT_EQ(
        capture::BoardFilePart(QStringLiteral("/a/ttyUSB0"), {QStringLiteral("board-ttyUSB0")}),
        QStringLiteral("board-ttyUSB0-2"));
    const QString part = QStringLiteral("board-ttyUSB0");
    EXPECT_EQ(capture::PerBoardPath(QStringLiteral("d/night.h5"), part),
              QStringLiteral("d/night_board-ttyUSB0.h5"));
    EXPECT_EQ(capture::PerBoardPath(QStringLiteral("d.x/data"), part),
              QStringLiteral("d.x/data_board-ttyUSB0"));
    EXPECT_EQ(PerBoardArguments({"--out", "a.csv", "--count=5", "--spectrum=s.csv"},
                                {"--out", "--spectrum"}, part),
              (QStringList{"--out", "a_board-ttyUSB0.csv", "--count=5",
                           "--spectrum=s_board-ttyUSB0.csv"}));
}

} // namespace
