// scan: its arguments, checked before the board is touched; its JSON and CSV; a fault that
// keeps the rows measured and still puts MUX back.

#include "cli_fixture.h"

#include "../scan/scan_board.h"
#include "chips/vxc5480/register_map.h"
#include "cli/exit_codes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

using namespace cli::exit_code;

namespace {
struct ArgumentCase {
    const char *arguments;
    int status;
};

// Wrong arguments are refused before the board hears anything.
TEST_F(CliBoardTest, ScanArgumentsAreCheckedFirst) {
    const ArgumentCase cases[] = {
        {"scan --count 20", kUsage},
        {"scan --pairs --single-ended --count 20", kUsage},
        {"scan --pairs", kUsage},
        {"scan --pairs --count 0", kUsage},
        {"scan --pairs --count 65535 --discard 1", kUsage},
        {"scan --pairs --count 5 --repeat 0", kUsage},
        {"scan --inputs AIN0-AIN9 --count 5", kUsage},
        {"scan --inputs AIN2-ain2 --count 5", kUsage},
        {"scan --pairs --count 5 --reference -1", kUsage},
        {"--chip VXC5420 scan --single-ended --count 5", kUnavailable},
        {"--chip VXC5420 scan --inputs AIN0-AINCOM --count 5", kUsage},
        {"scan --pairs --count 5 --out /nonexistent-folder/scan.csv", kFile},
    };
    for (const ArgumentCase &c : cases) {
        const CliRun r = run(words(c.arguments));
        EXPECT_EQ(r.status, c.status) << c.arguments << "\n" << r.err;
        EXPECT_FALSE(r.err.empty()) << c.arguments;
    }
    EXPECT_TRUE(board().receivedFrames().empty());
}

TEST_F(CliBoardTest, ScanPrintsOneJsonObjectOfItsRows) {
    const CliRun r = run(words("scan --inputs AIN0-AINCOM,ain7-ain6 --count 50 --repeat 2 --json"));
    ASSERT_EQ(r.status, kOk) << r.err;
    const QJsonObject json = jsonOf(r.out);
    EXPECT_TRUE(json.value(QLatin1String("complete")).toBool());
    const QJsonArray rows = json.value(QLatin1String("rows")).toArray();
    ASSERT_EQ(rows.size(), 2);
    const char *const names[][2] = {{"AIN0", "AINCOM"}, {"AIN7", "AIN6"}};
    const scan::ScanInput inputs[] = {{0, vxc5480::kAinCom}, {7, 6}};
    const double lsbVolts = scantest::BoardLsbVolts(board());
    for (int i = 0; i < 2; ++i) {
        const QJsonObject row = rows[i].toObject();
        EXPECT_EQ(row.value(QLatin1String("positive")).toString(), QLatin1String(names[i][0]));
        EXPECT_EQ(row.value(QLatin1String("negative")).toString(), QLatin1String(names[i][1]));
        EXPECT_EQ(row.value(QLatin1String("repeats")).toInt(), 2);
        EXPECT_EQ(row.value(QLatin1String("samples")).toInt(), 100);
        // In codes: what the pair sees through the gain.
        const double expected = scantest::InputVolts(sim::Chip::VXC5480, inputs[i]);
        EXPECT_NEAR(row.value(QLatin1String("mean")).toDouble() * lsbVolts, expected,
                    0.01 * std::abs(expected) + 20e-6);
        EXPECT_GT(row.value(QLatin1String("rms")).toDouble(), 0.0);
        for (const char *key : {"peakToPeak", "effectiveBits", "noiseFreeBits", "minimum",
                                "maximum", "clipped", "meanSpread", "rmsSpread"})
            EXPECT_TRUE(row.value(QLatin1String(key)).isDouble()) << key;
    }
}

TEST_F(CliBoardTest, ScanWritesItsTableAsCsv) {
    const QString path = file(QStringLiteral("scan.csv"));
    const CliRun r = run(words("scan --pairs --count 20") + QStringList{"--out", path});
    ASSERT_EQ(r.status, kOk) << r.err;
    QFile csv(path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 1 + 4 + 1); // heading, four pairs, the last line's end
    EXPECT_TRUE(lines[0].startsWith("positive,negative,"));
    EXPECT_TRUE(lines[1].startsWith("AIN0,AIN1,1,20,"));
    EXPECT_TRUE(lines[4].startsWith("AIN6,AIN7,1,20,"));
    // The text table went to standard output all the same: a heading and four rows.
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 5);
}

TEST_F(CliBoardTest, ScanFaultKeepsTheRowsMeasuredAndPutsMuxBack) {
    board().setRegisterValue(vxc5480::kMux, 0x45);
    sim::Faults faults;
    faults.failingWrite = 1; // the switch to the second input
    faults.failingWriteStatus = 2;
    board().setFaults(faults);
    const CliRun r = run(words("scan --single-ended --count 20 --json"));
    EXPECT_EQ(r.status, kExchange);
    EXPECT_NE(r.err.find("Write Register Address 01 Failed !"), std::string::npos) << r.err;
    const QJsonObject json = jsonOf(r.out);
    EXPECT_FALSE(json.value(QLatin1String("complete")).toBool());
    EXPECT_EQ(json.value(QLatin1String("rows")).toArray().size(), 1);
    EXPECT_EQ(board().registerValue(vxc5480::kMux), 0x45);
}

} // namespace
