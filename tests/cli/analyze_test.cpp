// pellorin-cli analyze on capture files written by the capture's own writers: the figures of a
// known run, a split set, a missing part, and the ways it refuses.

#include "capture/capture_writer.h"
#include "cli/cli_run.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun RunAnalyze(const QStringList &arguments) {
    std::ostringstream out, err;
    CliRun result;
    result.status = cli::RunCli(arguments, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

constexpr double kRate = 200.0;
constexpr double kVoltsPerCode = 1e-6;
constexpr double kSigma = 25.0;

class AnalyzeCommand : public ::testing::Test {
  protected:
    QString file(const QString &name) const { return m_dir.filePath(name); }

    // White noise of kSigma on a drift of one code per 100 samples (2 codes/s), in parts of
    // the given sizes (numbered when more than one), blocks of 1000.
    // timesRate spaces the samples' times (a board whose clock runs off the stated rate).
    QStringList writeRun(const QString &stem, const std::vector<size_t> &parts,
                         bool modeKnown = true, double timesRate = kRate) {
        std::mt19937 rng(5);
        std::normal_distribution<double> noise(0.0, kSigma);
        capture::CaptureFacts facts;
        facts.chipName = QStringLiteral("VXC5420");
        facts.conversion.referenceVolts = 2.5;
        facts.conversion.pgaGain = 1;
        facts.conversion.dataRateSps = kRate;
        facts.conversion.voltsPerCode = kVoltsPerCode;
        facts.conversion.modeKnown = modeKnown;
        facts.conversion.mode =
            modeKnown ? "4: Command Mode" : "mode unknown: gain and rate from CR1";
        facts.startTime = QStringLiteral("2026-03-04T05:06:07Z");
        QStringList paths;
        uint64_t at = 0;
        for (size_t p = 0; p < parts.size(); ++p) {
            const QString path =
                parts.size() == 1
                    ? file(stem + ".h5")
                    : file(
                          QStringLiteral("%1_%2.h5").arg(stem).arg(p + 1, 4, 10, QLatin1Char('0')));
            auto writer = capture::MakeWriter(capture::FileFormat::Hdf5);
            EXPECT_TRUE(writer->create(path, facts, {int(p) + 1, at}, false));
            for (size_t done = 0; done < parts[p]; done += 1000) {
                std::vector<int32_t> codes(std::min<size_t>(1000, parts[p] - done));
                std::vector<double> seconds(codes.size());
                for (size_t i = 0; i < codes.size(); ++i) {
                    codes[i] = static_cast<int32_t>(
                        std::lround(1000 + double(at + i) / 100.0 + noise(rng)));
                    seconds[i] = double(at + i + 1) / timesRate;
                }
                const capture::BlockStamp block{at, 0, 0, uint32_t(codes.size())};
                EXPECT_TRUE(writer->appendPiece(at, codes, seconds, &block));
                at += codes.size();
            }
            EXPECT_TRUE(writer->finish(p + 1 < parts.size() ? "split" : "user"));
            paths << path;
        }
        return paths;
    }

    static QJsonObject Json(const CliRun &run) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(AnalyzeCommand, PrintsTheRunsFiguresAndWritesItsPlots) {
    const QStringList paths = writeRun(QStringLiteral("night"), {100000});
    const CliRun run = RunAnalyze({QStringLiteral("analyze"), paths[0], QStringLiteral("--json"),
                                   QStringLiteral("--psd"), file("psd.csv"),
                                   QStringLiteral("--allan"), file("allan.csv")});
    ASSERT_EQ(run.status, 0) << run.err;
    const QJsonObject json = Json(run);
    EXPECT_EQ(json["samples"].toInteger(), 100000);
    EXPECT_EQ(json["chip"].toString(), QStringLiteral("VXC5420"));
    EXPECT_EQ(json["stoppedBy"].toString(), QStringLiteral("user"));
    EXPECT_NEAR(json["sampleRateSps"].toDouble(), kRate, 1e-9);
    EXPECT_TRUE(json["rateFromTimes"].toBool());
    // The conversion facts as the file records them, under its names.
    EXPECT_EQ(json["reference_volts"].toDouble(), 2.5);
    EXPECT_EQ(json["mode"].toString(), QStringLiteral("4: Command Mode"));
    EXPECT_EQ(json["volts_per_code"].toDouble(), kVoltsPerCode);
    // 2 codes per second: 7200 codes or 7200 uV per hour.
    EXPECT_NEAR(json["driftCodesPerHour"].toDouble(), 7200,
                3 * json["driftErrorCodesPerHour"].toDouble());
    EXPECT_NEAR(json["driftMicrovoltsPerHour"].toDouble(), json["driftCodesPerHour"].toDouble(),
                1e-6);
    EXPECT_NEAR(json["whiteDensityCodes"].toDouble() / (kSigma * std::sqrt(2 / kRate)), 1.0, 0.03);
    EXPECT_NEAR(json["whiteDensityVolts"].toDouble(), json["whiteDensityCodes"].toDouble() * 1e-6,
                1e-12);
    EXPECT_EQ(json["segmentLength"].toInteger(), 12288); // 3 x 2^12 <= 100000 / 8
    const QJsonArray allan = json["allan"].toArray();
    ASSERT_EQ(allan.size(), 16); // m = 1 .. 2^15 <= 100000 / 3
    EXPECT_NEAR(allan[0].toObject()["adev"].toDouble() / kSigma, 1.0, 0.03);

    QFile psd(file("psd.csv")), allanFile(file("allan.csv"));
    ASSERT_TRUE(psd.open(QIODevice::ReadOnly));
    ASSERT_TRUE(allanFile.open(QIODevice::ReadOnly));
    const QList<QByteArray> psdLines = psd.readAll().split('\n');
    EXPECT_EQ(psdLines[0], "frequency_hz,codes2_per_hz,codes_per_rthz,v2_per_hz,v_per_rthz");
    EXPECT_EQ(psdLines.size(), 12288 / 2 + 2); // bins 1 .. L/2, the header and the last line end
    EXPECT_EQ(allanFile.readAll().count('\n'), 17);

    // Text: detrended, the drift is still told and the noise is that about the line.
    const CliRun text =
        RunAnalyze({QStringLiteral("analyze"), paths[0], QStringLiteral("--detrend")});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Drift:"), std::string::npos);
    EXPECT_NE(text.out.find("RMS noise about the drift line:"), std::string::npos);
    EXPECT_NE(text.out.find("Allan deviation (68 % interval)"), std::string::npos);
}

TEST_F(AnalyzeCommand, SplitSetInAnyOrderAndAMissingPart) {
    const QStringList paths = writeRun(QStringLiteral("run"), {20000, 20000, 20000});
    const CliRun whole = RunAnalyze(
        {QStringLiteral("analyze"), paths[2], paths[0], paths[1], QStringLiteral("--json")});
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(Json(whole)["samples"].toInteger(), 60000);
    EXPECT_TRUE(Json(whole)["gaps"].toArray().isEmpty());

    const CliRun refused = RunAnalyze({QStringLiteral("analyze"), paths[0], paths[2]});
    EXPECT_EQ(refused.status, 6);
    const std::string part2 = file("run_0002.h5").toStdString();
    EXPECT_EQ(refused.err, "pellorin-cli: " + part2 +
                               ": missing from the split set (samples 20000 to 39999)\n"
                               "pellorin-cli: " +
                               part2 +
                               " of this split set is in the folder but not given: name every "
                               "part to include them (pellorin-cli analyze " +
                               paths.join(u' ').toStdString() +
                               ")\n"
                               "pellorin-cli: the split set is not whole: give its missing parts, "
                               "or --accept-gaps to analyze it with the gaps left out\n");
    EXPECT_TRUE(refused.out.empty());

    // Only the first part given, the others beside it: they are named, and how to include them.
    const CliRun first = RunAnalyze({QStringLiteral("analyze"), paths[0]});
    EXPECT_EQ(first.status, 6);
    EXPECT_NE(first.err.find(part2 + ", " + paths[2].toStdString() +
                             " of this split set are in the folder but not given"),
              std::string::npos)
        << first.err;

    const CliRun accepted = RunAnalyze({QStringLiteral("analyze"), paths[0], paths[2],
                                        QStringLiteral("--accept-gaps"), QStringLiteral("--json")});
    ASSERT_EQ(accepted.status, 0) << accepted.err;
    const QJsonObject json = Json(accepted);
    EXPECT_EQ(json["samples"].toInteger(), 40000);
    ASSERT_EQ(json["gaps"].toArray().size(), 1);
    EXPECT_EQ(json["gaps"].toArray()[0].toObject()["firstSample"].toInteger(), 20000);
    // The drift line sees the gap's time: still 2 codes per second.
    EXPECT_NEAR(json["driftCodesPerHour"].toDouble(), 7200,
                3 * json["driftErrorCodesPerHour"].toDouble());
}

struct Refusal {
    const char *name;
    QStringList arguments; // %1 the folder
    int status;
    const char *message; // %1 the folder
};

class AnalyzeRefusals : public AnalyzeCommand, public ::testing::WithParamInterface<Refusal> {};

TEST_P(AnalyzeRefusals, SayWhyWithTheirStatus) {
    writeRun(QStringLiteral("good"), {3000});
    QFile text(file("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a capture\n");
    text.close();
    QFile absurd(file("absurd.csv"));
    ASSERT_TRUE(absurd.open(QIODevice::WriteOnly));
    absurd.write("# chip: VXC5480\n# data_rate_sps: inf\nindex,time_s,code\n0,0.0,5\n");
    absurd.close();
    QFile nanTime(file("nantime.csv"));
    ASSERT_TRUE(nanTime.open(QIODevice::WriteOnly));
    nanTime.write("# chip: VXC5480\n# data_rate_sps: 100\n# stopped_by: user\n"
                  "index,time_s,code\n0,0.0,5\n1,nan,6\n2,0.02,7\n3,0.03,8\n");
    nanTime.close();
    QStringList arguments{QStringLiteral("analyze")};
    for (const QString &argument : GetParam().arguments)
        arguments << QString(argument).replace(QLatin1String("%1"), m_dir.path());
    const CliRun run = RunAnalyze(arguments);
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_EQ(QString::fromStdString(run.err),
              QString::fromUtf8(GetParam().message).replace(QLatin1String("%1"), m_dir.path()));
    EXPECT_TRUE(run.out.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, AnalyzeRefusals,
    ::testing::Values(
        Refusal{"noFile",
                {},
                2,
                "pellorin-cli: analyze needs a capture file (or the parts of a split set) (see "
                "pellorin-cli analyze --help)\n"},
        Refusal{"unknownOption",
                {"%1/good.h5", "--psd"},
                2,
                "pellorin-cli: --psd needs a value (see pellorin-cli analyze --help)\n"},
        Refusal{"notACapture",
                {"%1/notes.txt"},
                6,
                "pellorin-cli: %1/notes.txt: not a capture file (neither the capture's HDF5 nor "
                "its CSV)\n"},
        Refusal{"optionTwice",
                {"%1/good.h5", "--psd", "%1/a.csv", "--psd", "%1/b.csv"},
                2,
                "pellorin-cli: --psd given twice (give it once) (see pellorin-cli analyze "
                "--help)\n"},
        Refusal{"numbersOverTheRun",
                {"%1/good.h5", "--allan", "%1/./good.h5"},
                2,
                "pellorin-cli: --allan %1/./good.h5: that is a file of the run; give the numbers "
                "a file of their own (see pellorin-cli analyze --help)\n"},
        Refusal{"twoPlotsOneFile",
                {"%1/good.h5", "--psd", "%1/out.csv", "--allan", "%1/out.csv"},
                2,
                "pellorin-cli: --psd and --allan name the same file (see pellorin-cli analyze "
                "--help)\n"},
        Refusal{"rateInfinite",
                {"%1/absurd.csv"},
                6,
                "pellorin-cli: %1/absurd.csv: data_rate_sps is inf: a rate must be from 0.001 to "
                "1000000 samples a second\n"},
        Refusal{"timeNaN",
                {"%1/nantime.csv"},
                6,
                "pellorin-cli: %1/nantime.csv: time_s of sample 1 is nan after 0: the times must "
                "be finite and rising\n"},
        Refusal{"psdFolderMissing",
                {"%1/good.h5", "--psd", "%1/none/psd.csv"},
                6,
                "pellorin-cli: %1/none/psd.csv: No such folder\n"}),
    [](const auto &info) { return std::string(info.param.name); });

// A capture that did not know the chip's mode: its gain and scale are shown as guesses and no
// figure is given in volts.
TEST_F(AnalyzeCommand, GuessedScaleGivesNoVolts) {
    const QStringList paths = writeRun(QStringLiteral("guess"), {20000}, false);
    const CliRun json = RunAnalyze({QStringLiteral("analyze"), paths[0], QStringLiteral("--json"),
                                    QStringLiteral("--psd"), file("psd.csv")});
    ASSERT_EQ(json.status, 0) << json.err;
    const QJsonObject object = Json(json);
    EXPECT_TRUE(object["voltsPerCode"].isNull());
    EXPECT_TRUE(object["driftMicrovoltsPerHour"].isNull());
    EXPECT_TRUE(object["whiteDensityVolts"].isNull());
    EXPECT_EQ(object["volts_per_code_from_registers"].toDouble(), kVoltsPerCode);
    EXPECT_FALSE(object.contains(QStringLiteral("volts_per_code")));
    QFile psd(file("psd.csv"));
    ASSERT_TRUE(psd.open(QIODevice::ReadOnly));
    EXPECT_EQ(psd.readLine(), "frequency_hz,codes2_per_hz,codes_per_rthz\n");

    const CliRun text = RunAnalyze({QStringLiteral("analyze"), paths[0]});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("1 (from the registers: the mode was not known)"), std::string::npos)
        << text.out;
    EXPECT_EQ(text.out.find("V/h"), std::string::npos) << text.out;
}

// Times that give a rate 5 % off the stated one: said beside the rate, in text and JSON.
TEST_F(AnalyzeCommand, RateOffTheStatedOneIsTold) {
    const QStringList paths = writeRun(QStringLiteral("slow"), {20000}, true, kRate * 0.95);
    const CliRun text = RunAnalyze({QStringLiteral("analyze"), paths[0]});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Sample rate:                    190 SPS (from the samples' times): "
                            "5 % slower than the 200 SPS the file states"),
              std::string::npos)
        << text.out;
    const CliRun json = RunAnalyze({QStringLiteral("analyze"), paths[0], QStringLiteral("--json")});
    EXPECT_NEAR(Json(json)["rateOffStated"].toDouble(), -0.05, 1e-9);
    // Within 1 %: nothing to say.
    const QStringList close = writeRun(QStringLiteral("close"), {20000}, true, kRate * 1.005);
    const CliRun fine = RunAnalyze({QStringLiteral("analyze"), close[0], QStringLiteral("--json")});
    EXPECT_TRUE(Json(fine)["rateOffStated"].isNull());
}

// A file with neither a rate nor times: every figure is per sample, none in hertz or seconds.
TEST_F(AnalyzeCommand, WithoutARateEveryFigureIsPerSample) {
    QFile csv(file("untimed.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("# chip: VXC5480\n# stopped_by: user\nindex,code\n");
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0.0, kSigma);
    for (int i = 0; i < 20000; ++i)
        csv.write(QByteArray::number(i) + ',' + QByteArray::number(std::lround(noise(rng))) + '\n');
    csv.close();
    const CliRun run = RunAnalyze(
        {QStringLiteral("analyze"), file("untimed.csv"), QStringLiteral("--psd"), file("psd.csv")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find("Hz"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find(" s\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find(" s "), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("tau_s "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("cycles per sample"), std::string::npos) << run.out;
    QFile psd(file("psd.csv"));
    ASSERT_TRUE(psd.open(QIODevice::ReadOnly));
    EXPECT_EQ(psd.readLine(), "cycles_per_sample,codes2_per_cycle,codes_per_rtcycle\n");
}

// With --json, a refused run prints one object: its messages and its exit status.
TEST_F(AnalyzeCommand, JsonFailureIsOneObject) {
    QFile text(file("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a capture\n");
    text.close();
    const CliRun run =
        RunAnalyze({QStringLiteral("analyze"), file("notes.txt"), QStringLiteral("--json")});
    EXPECT_EQ(run.status, 6);
    const QJsonObject object = Json(run);
    EXPECT_EQ(object["exitStatus"].toInt(), 6);
    EXPECT_EQ(object["error"].toString(),
              file("notes.txt") + ": not a capture file (neither the capture's HDF5 nor its CSV)");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
}
