// detect, regs, get, set and command through the real transport against the virtual board.

#include "cli_fixture.h"

#include "cli/exit_codes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

using namespace cli::exit_code;
using Frame = std::array<uint8_t, 6>;

TEST_F(CliBoardTest, DetectPrintsThePortAndTheChip) {
    const CliRun r = run({QStringLiteral("detect")});
    EXPECT_EQ(r.status, kOk) << r.err;
    EXPECT_EQ(r.out, port().toStdString() + "\tVXC5480\n");
    EXPECT_EQ(r.err, "");

    const CliRun json = run({QStringLiteral("detect"), QStringLiteral("--json")});
    const QJsonObject object =
        QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(object.value("port").toString(), port());
    EXPECT_EQ(object.value("chip").toString(), QStringLiteral("VXC5480"));
    EXPECT_EQ(object.value("chipId").toInt(), 1);
}

TEST_F(CliBoardTest, RegsPrintsEveryRegisterAsTheChipHoldsIt) {
    board().setRegisterValue(0x03, 0x82);
    board().setRegisterValue(0x0A, 0x5C);
    const CliRun r = run({QStringLiteral("regs")});
    ASSERT_EQ(r.status, kOk) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    std::vector<std::string> rows;
    while (std::getline(lines, line))
        rows.push_back(line);
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[0], "ADDR  NAME    VALUE");
    EXPECT_EQ(rows[4], "0x03  DRATE   0x82");
    EXPECT_EQ(rows[11], "0x0A  FSC2    0x5C");

    const CliRun json = run({QStringLiteral("--json"), QStringLiteral("regs")});
    const QJsonArray registers = QJsonDocument::fromJson(QByteArray::fromStdString(json.out))
                                     .object()
                                     .value("registers")
                                     .toArray();
    ASSERT_EQ(registers.size(), 11);
    EXPECT_EQ(registers[3].toObject().value("name").toString(), QStringLiteral("DRATE"));
    EXPECT_EQ(registers[3].toObject().value("value").toInt(), 0x82);
}

TEST_F(CliBoardTest, GetTakesNamesAliasesAndAddresses) {
    board().setRegisterValue(0x03, 0x63);
    for (const char *name : {"DRATE", "drate", "DRAT", "3", "0x03"}) {
        const CliRun r = run({QStringLiteral("get"), QLatin1String(name)});
        EXPECT_EQ(r.status, kOk) << name << r.err;
        EXPECT_EQ(r.out, "0x63\n") << name;
    }
    board().clearReceivedFrames();
    const CliRun bad = run({QStringLiteral("get"), QStringLiteral("CR1")});
    EXPECT_EQ(bad.status, kUsage);
    EXPECT_NE(bad.err.find("VXC5480 has no register CR1"), std::string::npos) << bad.err;
    EXPECT_TRUE(board().receivedFrames().empty()); // a usage error touches no board
}

TEST_F(CliBoardTest, SetWritesEachRegisterAndReadsItBack) {
    const CliRun r =
        run({QStringLiteral("set"), QStringLiteral("MUX=0x23"), QStringLiteral("drate=130")});
    ASSERT_EQ(r.status, kOk) << r.err;
    EXPECT_EQ(r.out, "MUX=0x23\nDRATE=0x82\n");
    EXPECT_EQ(board().registerValue(0x01), 0x23);
    EXPECT_EQ(board().registerValue(0x03), 0x82);
    // Handshake, then write and read-back of each register in the order given.
    const std::vector<Frame> frames = board().receivedFrames();
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[2], (Frame{0x55, 0x01, 0x01, 0x01, 0x23, 0xDA}));
    EXPECT_EQ(frames[3], (Frame{0x55, 0x01, 0x02, 0x01, 0x00, 0xFC}));
    EXPECT_EQ(frames[4][2], 0x01);
    EXPECT_EQ(frames[5][2], 0x02);
}

TEST_F(CliBoardTest, SetChecksEveryAssignmentBeforeTheFirstWrite) {
    const struct {
        const char *assignment;
        const char *error;
    } cases[] = {
        {"MUX", "MUX is not NAME=VALUE"},
        {"XYZ=1", "VXC5480 has no register XYZ"},
        {"MUX=256", "MUX=256: the value must be a number from 0 to 255 (decimal or 0x hex)"},
        {"MUX=-1", "MUX=-1: the value must be a number from 0 to 255"},
        {"MUX=0x", "MUX=0x: the value must be a number from 0 to 255"},
    };
    for (const auto &c : cases) {
        const CliRun r =
            run({QStringLiteral("set"), QStringLiteral("ADCON=0x01"), QLatin1String(c.assignment)});
        EXPECT_EQ(r.status, kUsage) << c.assignment;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    }
    EXPECT_TRUE(board().receivedFrames().empty());
}

// One rule for every number the command line reads: decimal or 0x hex, leading zeros and all.
TEST_F(CliBoardTest, EveryNumberIsDecimalOrHexWithAnyLeadingZeros) {
    board().setRegisterValue(0x03, 0x63);
    const struct {
        QStringList arguments;
        const char *out; // null: count the lines instead
        int lines;
    } cases[] = {
        {{"get", "0x00000003"}, "0x63\n", 0},
        {{"get", "000000000003"}, "0x63\n", 0},
        {{"set", "MUX=0x0000000023"}, "MUX=0x23\n", 0},
        {{"set", "0x0001=0000000000035"}, "MUX=0x23\n", 0},
        {{"acquire", "--count", "0x00000002"}, nullptr, 2},
        {{"acquire", "--count=0000000003"}, nullptr, 3},
        // Seconds by the same rule: an hour's split in hex, a count with leading zeros.
        {{"capture", "--out", file(QStringLiteral("n.h5")), "--samples", "0x000000000A", "--block",
          "005", "--split", "0x0E10"},
         nullptr,
         1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CliRun r = run(c.arguments);
        ASSERT_EQ(r.status, kOk) << r.err;
        if (c.out)
            EXPECT_EQ(r.out, c.out);
        else
            EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), c.lines);
    }
}

// --json shapes every result printed; a command that prints none refuses it, before the board
// is touched, rather than ignore it. A failure before a result prints one object of its own:
// the messages and the exit status.
TEST_F(CliBoardTest, JsonShapesEveryResultAndIsRefusedWhereThereIsNone) {
    board().setRegisterValue(0x03, 0x82);
    const QString prefix = file(QStringLiteral("run"));
    const struct {
        QStringList arguments;
        const char *key;   // in the object printed; null: refused (exit 2)
        int registerValue; // of the first register in "registers", or -1
        int status = kOk;  // not 0: a failure of its own, which touches no board but for 3
    } cases[] = {
        {{"--json", "detect"}, "chipId", -1},
        {{"regs", "--json"}, "registers", -1},
        {{"--json", "get", "DRATE"}, "registers", 0x82},
        {{"get", "0x03", "--json"}, "registers", 0x82},
        {{"--json", "set", "MUX=0x23"}, "registers", 0x23},
        {{"--json", "acquire", "--count=3"}, "samples", -1},
        {{"--json", "acquire", "--count=3", "--stats"}, "rmsNoise", -1},
        {{"--json", "acquire", "--count=3", "--out", prefix, "--stats"}, "rmsNoise", -1},
        {{"--json", "command", "standby"}, nullptr, -1},
        {{"command", "standby", "--json"}, nullptr, -1},
        {{"--json", "profile", "save", file(QStringLiteral("p.ini"))}, nullptr, -1},
        {{"--json", "firmware-update"}, nullptr, -1},
        {{"--json", "acquire", "--out", prefix}, nullptr, -1},
        {{"--json", "acquire", "--count=8", "--spectrum", file(QStringLiteral("s.csv"))},
         nullptr,
         -1},
        {{"--json", "acquire", "--format", "csv"}, nullptr, -1},
        {{"--json", "scan", "--pairs", "--count", "5", "--out", "/nonexistent-folder/s.csv"},
         "error",
         -1,
         kFile},
        {{"capture", "--json", "--out", file(QStringLiteral("c.h5")), "--block", "0"},
         "error",
         -1,
         kUsage},
        {{"--json", "--chip", "VXC5420", "regs"}, "error", -1, kNoBoard},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        board().clearReceivedFrames();
        const CliRun r = run(c.arguments);
        ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
        const QJsonObject printed =
            QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
        if (!c.key || c.status != kOk) {
            const int status = c.key ? c.status : kUsage;
            EXPECT_EQ(r.status, status);
            EXPECT_EQ(printed.value("exitStatus").toInt(), status) << r.out;
            // The messages of standard error, without the program's name.
            const QString error = printed.value("error").toString();
            EXPECT_FALSE(error.isEmpty()) << r.out;
            EXPECT_NE(r.err.find(error.section(u'\n', 0, 0).toStdString()), std::string::npos)
                << r.err;
            if (!c.key) {
                EXPECT_TRUE(error.contains(QLatin1String("--json"))) << r.out;
            }
            if (status != kNoBoard) {
                EXPECT_TRUE(board().receivedFrames().empty());
            }
            continue;
        }
        ASSERT_EQ(r.status, kOk) << r.err;
        EXPECT_TRUE(printed.contains(QLatin1String(c.key))) << r.out;
        if (c.registerValue >= 0) {
            EXPECT_EQ(printed.value("registers").toArray().at(0).toObject().value("value").toInt(),
                      c.registerValue)
                << r.out;
        }
    }
}

TEST_F(CliBoardTest, AFailedRegisterExchangeNamesAddressAndResultCode) {
    sim::Faults faults;
    faults.statusForAddress[0x02] = 2;
    board().setFaults(faults);
    const CliRun set = run({QStringLiteral("set"), QStringLiteral("ADCON=1")});
    EXPECT_EQ(set.status, kExchange);
    EXPECT_EQ(set.err, "pellorin-cli: Write Register Address 02 Failed !\n"
                       "pellorin-cli: set: writing the register failed: result code 13\n");
    const CliRun regs = run({QStringLiteral("regs")});
    EXPECT_EQ(regs.status, kExchange);
    EXPECT_EQ(regs.out, "");
    EXPECT_EQ(regs.err, "pellorin-cli: Read Register Address 02 Failed !\n"
                        "pellorin-cli: regs: reading the registers failed: result code 13\n");
}

TEST_F(CliBoardTest, CommandsSendTheirCodes) {
    const struct {
        const char *name;
        uint8_t code;
    } cases[] = {
        {"self-calibration", 0x03}, {"self-offset", 0x04}, {"self-gain", 0x05},
        {"system-offset", 0x06},    {"system-gain", 0x07}, {"standby", 0x08},
        {"wake-up", 0x0C},          {"power-down", 0x09},
    };
    for (const auto &c : cases) {
        board().clearReceivedFrames();
        const CliRun r = run({QStringLiteral("command"), QLatin1String(c.name)});
        EXPECT_EQ(r.status, kOk) << c.name << r.err;
        const std::vector<Frame> frames = board().receivedFrames();
        ASSERT_EQ(frames.size(), 3u) << c.name;
        EXPECT_EQ(frames[2][2], c.code) << c.name;
    }
}

TEST_F(CliBoardTest, AFailedCommandShowsTheBridgeAndPanelMessages) {
    sim::Faults faults;
    faults.statusForCommand[0x04] = 2;
    board().setFaults(faults);
    const CliRun r = run({QStringLiteral("command"), QStringLiteral("self-offset")});
    EXPECT_EQ(r.status, kExchange);
    EXPECT_EQ(r.err, "pellorin-cli: DUT No Response\n"
                     "pellorin-cli: Self offset calibration failed !\n"
                     "pellorin-cli: command self-offset failed: result code 13\n");
}

TEST_F(CliBoardTest, CommandsTheChipLacksAreRefusedBeforeTheBoard) {
    const struct {
        QStringList arguments;
        int status;
        const char *error;
    } cases[] = {
        {{"command", "set-mode", "2"}, kUnavailable, "set-mode is a command of VXC5420"},
        {{"command", "sync"}, kUnavailable, "the board has no sync command"},
        {{"command", "reboot"}, kUsage, "VXC5480 has no command reboot"},
        {{"command", "standby", "1"}, kUsage, "standby takes no argument"},
    };
    for (const auto &c : cases) {
        const CliRun r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments.join(u' ').toStdString();
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    }
    EXPECT_TRUE(board().receivedFrames().empty());
}

TEST_F(CliBoardTest, ASilentBoardIsNoBoard) {
    sim::Faults faults;
    faults.silent = true;
    board().setFaults(faults);
    const ExpectSilence silence;
    const CliRun r = run({QStringLiteral("regs")});
    EXPECT_EQ(r.status, kNoBoard);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "pellorin-cli: Can't find VXC5480 !\npellorin-cli: " + port().toStdString() +
                         ": No board answers there\n");
}

TEST_F(CliBoardTest, ABoardOfTheOtherChipIsNotTaken) {
    const CliRun r =
        run({QStringLiteral("--chip"), QStringLiteral("VXC5420"), QStringLiteral("detect")});
    EXPECT_EQ(r.status, kNoBoard);
    EXPECT_EQ(r.err, "pellorin-cli: DUT Disconnect\npellorin-cli: Can't find VXC5420 !\n"
                     "pellorin-cli: " +
                         port().toStdString() +
                         ": The board there answers for VXC5480, not VXC5420 (give --chip "
                         "VXC5480)\n");
}

// The 2-channel chip: its mode command goes out with the list position as argument.
class CliBoard2chTest : public CliBoardTest {
  protected:
    sim::Chip chip() const override { return sim::Chip::VXC5420; }
};

TEST_F(CliBoard2chTest, SetModeSendsItsArgument) {
    const CliRun r =
        run({QStringLiteral("--chip"), QStringLiteral("vxc5420"), QStringLiteral("command"),
             QStringLiteral("set-mode"), QStringLiteral("3")});
    EXPECT_EQ(r.status, kOk) << r.err;
    const std::vector<Frame> frames = board().receivedFrames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[2], (Frame{0x55, 0x02, 0x0D, 0x03, 0x00, 0xEF}));

    board().clearReceivedFrames();
    const CliRun zeros =
        run({QStringLiteral("--chip"), QStringLiteral("VXC5420"), QStringLiteral("command"),
             QStringLiteral("set-mode"), QStringLiteral("0x0002")});
    EXPECT_EQ(zeros.status, kOk) << zeros.err;
    EXPECT_EQ(board().receivedFrames().back(), (Frame{0x55, 0x02, 0x0D, 0x02, 0x00, 0xF0}));

    const CliRun bad =
        run({QStringLiteral("--chip"), QStringLiteral("VXC5420"), QStringLiteral("command"),
             QStringLiteral("set-mode"), QStringLiteral("5")});
    EXPECT_EQ(bad.status, kUsage);
    EXPECT_NE(bad.err.find("set-mode: the argument must be a number from 1 to 4 (decimal or 0x "
                           "hex)"),
              std::string::npos)
        << bad.err;
}

TEST_F(CliBoard2chTest, AFailedSetModeNamesTheChip) {
    sim::Faults faults;
    faults.statusForCommand[0x0D] = 3;
    board().setFaults(faults);
    const CliRun r =
        run({QStringLiteral("--chip"), QStringLiteral("VXC5420"), QStringLiteral("command"),
             QStringLiteral("set-mode"), QStringLiteral("1")});
    EXPECT_EQ(r.status, kExchange);
    EXPECT_EQ(r.err, "pellorin-cli: AP Command Timeout \n"
                     "pellorin-cli: VXC5420 Set Mode Command Fail !\n"
                     "pellorin-cli: command set-mode failed: result code 13\n");
}

// The 2-channel chip through its panel's register map and profile layout.
TEST_F(CliBoard2chTest, AcquireRefreshesTheSixRegisters) {
    const CliRun acquire = run({QStringLiteral("--chip"), QStringLiteral("VXC5420"),
                                QStringLiteral("acquire"), QStringLiteral("--count=5")});
    EXPECT_EQ(acquire.status, kOk) << acquire.err;
    EXPECT_EQ(std::count(acquire.out.begin(), acquire.out.end(), '\n'), 5);
    const std::vector<Frame> frames = board().receivedFrames();
    ASSERT_EQ(frames.size(), 2u + 6u + 1u);
    for (int address = 0; address < 6; ++address)
        EXPECT_EQ(frames[2 + address], (Frame{0x55, 0x02, 0x02, static_cast<uint8_t>(address), 0x00,
                                              static_cast<uint8_t>(~(2 + address))}));
    EXPECT_EQ(frames.back(), (Frame{0x55, 0x02, 0x0F, 0x00, 0x05, 0xEB}));
}

TEST_F(CliBoard2chTest, RegistersAndProfileByTheChipsNames) {
    const QStringList chip{QStringLiteral("--chip"), QStringLiteral("VXC5420")};
    const CliRun set = run(chip + QStringList{QStringLiteral("set"), QStringLiteral("cr1=0x42")});
    EXPECT_EQ(set.status, kOk) << set.err;
    EXPECT_EQ(set.out, "CR1=0x42\n");
    const CliRun regs = run(chip + QStringList{QStringLiteral("regs")});
    EXPECT_EQ(regs.status, kOk);
    EXPECT_NE(regs.out.find("0x03  CR1     0x42\n"), std::string::npos) << regs.out;

    const QString path = file(QStringLiteral("p2.ini"));
    ASSERT_EQ(
        run(chip + QStringList{QStringLiteral("profile"), QStringLiteral("save"), path}).status,
        kOk);
    run(chip + QStringList{QStringLiteral("set"), QStringLiteral("CR1=0x11")});
    ASSERT_EQ(
        run(chip + QStringList{QStringLiteral("profile"), QStringLiteral("load"), path}).status,
        kOk);
    EXPECT_EQ(board().registerValue(0x03), 0x42);

    // The 8-channel chip's profile is refused with the 2-channel chip's name.
    const QString other = file(QStringLiteral("p8.ini"));
    QFile eight(other);
    ASSERT_TRUE(eight.open(QIODevice::WriteOnly));
    eight.write("[EVM]\r\nTarget=VXC5480\r\n");
    eight.close();
    const CliRun wrong =
        run(chip + QStringList{QStringLiteral("profile"), QStringLiteral("load"), other});
    EXPECT_EQ(wrong.status, kFile);
    EXPECT_EQ(wrong.err, "pellorin-cli: The profile is invalid for \"VXC5420\"\n");
}
