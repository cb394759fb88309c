// profile save / load: the panel's file format, the refusal of the other chip's profile.

#include "cli_fixture.h"

#include "chips/vxc5480/profile_8ch.h"
#include "cli/exit_codes.h"

#include <QFile>

using namespace cli::exit_code;

namespace {
void put(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

TEST_F(CliBoardTest, SaveWritesTheChipsRegistersInThePanelsFormat) {
    board().setRegisterValue(0x01, 0x47);
    board().setRegisterValue(0x08, 0xA5);
    const QString path = file(QStringLiteral("saved.ini"));
    const CliRun r = run({QStringLiteral("profile"), QStringLiteral("save"), path});
    ASSERT_EQ(r.status, kOk) << r.err;
    vxc5480::RegisterImage image{};
    ASSERT_EQ(vxc5480::LoadRegisterProfile(path, image), vxc5480::ProfileLoad::Loaded);
    for (int address = 0; address < vxc5480::kRegisterCount; ++address)
        EXPECT_EQ(image[address], board().registerValue(static_cast<uint8_t>(address))) << address;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("Target=VXC5480\r\n"));
    EXPECT_TRUE(text.contains("MUX=0x47\r\n"));
    EXPECT_TRUE(text.contains("FSC0=0xA5\r\n"));
}

// A file with all its keys loads as it stands; --lenient loads the rest as the window does.
TEST_F(CliBoardTest, LenientLoadWritesTheProfileToTheChipAsTheWindowReadsIt) {
    const QString path = file(QStringLiteral("load.ini"));
    put(path, "[EVM]\r\nTarget=vxc5480\r\n[REG]\r\nMUX=0x1FF\r\nADCON=0x05\r\nDRAT=0x92\r\n"
              "OFC1=0x33\r\n");
    const CliRun r =
        run({QStringLiteral("profile"), QStringLiteral("load"), QStringLiteral("--lenient"), path});
    ASSERT_EQ(r.status, kOk) << r.err;
    EXPECT_EQ(board().registerValue(0x01), 0xFF); // low byte of 0x1FF
    EXPECT_EQ(board().registerValue(0x02) & 0x07, 0x05);
    EXPECT_EQ(board().registerValue(0x03), 0x92);
    EXPECT_EQ(board().registerValue(0x06), 0x33);
    EXPECT_EQ(board().registerValue(0x05), 0x00); // missing keys load as 0
    // Eleven writes in address order after the handshake.
    const auto frames = board().receivedFrames();
    ASSERT_EQ(frames.size(), 13u);
    for (int address = 0; address < 11; ++address) {
        EXPECT_EQ(frames[2 + address][2], 0x01);
        EXPECT_EQ(frames[2 + address][3], address);
    }
}

// The load writes straight to the chip: a key missing or unreadable would write 0 or a guess
// to it, calibration registers included.
TEST_F(CliBoardTest, ALoadWithMissingOrUnreadableKeysIsRefusedBeforeTheBoard) {
    const QString path = file(QStringLiteral("partial.ini"));
    put(path, "[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nSTATUS=0x30\r\nMUX=0x1FF\r\nADCON=5A;\r\n"
              "DRAT=0xF0\r\nIO=e1\r\nOFC0=0x0018\r\nOFC1=\r\nFSC0=0x8B\r\nFSC1=0x1D\r\n"
              "FSC2=0x40\r\n");
    const CliRun r = run({QStringLiteral("profile"), QStringLiteral("load"), path});
    EXPECT_EQ(r.status, kFile);
    EXPECT_EQ(r.err, "pellorin-cli: " + path.toStdString() +
                         ": Missing or unreadable register values: MUX, ADCON, OFC1, OFC2 "
                         "(--lenient loads them as the window does)\n");
    EXPECT_TRUE(board().receivedFrames().empty());
}

TEST_F(CliBoardTest, TheOtherChipsProfileIsRefusedWithoutTouchingTheBoard) {
    const QString path = file(QStringLiteral("other.ini"));
    put(path, "[EVM]\r\nTarget=VXC5420\r\n[REG]\r\nSTA=0x02\r\n");
    const CliRun r = run({QStringLiteral("profile"), QStringLiteral("load"), path});
    EXPECT_EQ(r.status, kFile);
    EXPECT_EQ(r.err, "pellorin-cli: The profile is invalid for \"VXC5480\"\n");
    EXPECT_TRUE(board().receivedFrames().empty());

    const QString absent = file(QStringLiteral("absent.ini"));
    const CliRun missing = run({QStringLiteral("profile"), QStringLiteral("load"), absent});
    EXPECT_EQ(missing.status, kFile);
    EXPECT_EQ(missing.err,
              "pellorin-cli: " + absent.toStdString() + ": No such file or directory\n");
}

TEST_F(CliBoardTest, AFailedWriteStopsTheLoadAtThatAddress) {
    const QString path = file(QStringLiteral("load.ini"));
    put(path, "[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nIO=0x0F\r\n");
    sim::Faults faults;
    faults.statusForAddress[0x03] = 1;
    board().setFaults(faults);
    const CliRun r =
        run({QStringLiteral("profile"), QStringLiteral("load"), QStringLiteral("--lenient"), path});
    EXPECT_EQ(r.status, kExchange);
    EXPECT_EQ(r.err, "pellorin-cli: Write Register Address 03 Failed !\n"
                     "pellorin-cli: profile load: writing the registers failed: result code 13\n");
    EXPECT_EQ(board().receivedFrames().size(), 2u + 4u);
}

// The 2-channel chip: a loaded profile goes out as the panel's "All Regs" Write sends it, with
// the chip's fixed bits.
namespace {
struct FixedBitsCase {
    const char *name;
    QByteArray registers; // the [REG] section's lines
    std::vector<uint8_t> sent;
};

void PrintTo(const FixedBitsCase &c, std::ostream *os) {
    *os << c.name;
}

class CliProfile2chTest : public CliBoardTest, public ::testing::WithParamInterface<FixedBitsCase> {
  protected:
    sim::Chip chip() const override { return sim::Chip::VXC5420; }
};
} // namespace

TEST_P(CliProfile2chTest, LoadSendsThePanelsBytes) {
    const FixedBitsCase &c = GetParam();
    const QString path = file(QStringLiteral("p2.ini"));
    put(path, "[EVM]\r\nTarget=VXC5420\r\n[REG]\r\n" + c.registers);
    const CliRun r = run({QStringLiteral("--chip"), QStringLiteral("VXC5420"),
                          QStringLiteral("profile"), QStringLiteral("load"), path});
    ASSERT_EQ(r.status, kOk) << r.err;
    const auto frames = board().receivedFrames();
    ASSERT_EQ(frames.size(), 2u + 6u); // the handshake, then STA to CR3 in address order
    for (size_t address = 0; address < 6; ++address) {
        EXPECT_EQ(frames[2 + address][2], 0x01) << address;
        EXPECT_EQ(frames[2 + address][3], address);
        EXPECT_EQ(frames[2 + address][4], c.sent[address]) << address;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, CliProfile2chTest,
    ::testing::Values(
        FixedBitsCase{"AllFF",
                      "STA=0xFF\r\nMUX=0xFF\r\nCR0=0xFF\r\nCR1=0xFF\r\nCR2=0xFF\r\nCR3=0xFF\r\n",
                      {0xFF, 0x91, 0x46, 0x77, 0x31, 0x02}},
        FixedBitsCase{"AllZero",
                      "STA=0x00\r\nMUX=0x00\r\nCR0=0x00\r\nCR1=0x00\r\nCR2=0x00\r\nCR3=0x00\r\n",
                      {0x02, 0x00, 0x40, 0x00, 0x30, 0x00}},
        FixedBitsCase{"Saved",
                      "STA=0x02\r\nMUX=0x10\r\nCR0=0x42\r\nCR1=0x5A\r\nCR2=0x31\r\nCR3=0x02\r\n",
                      {0x02, 0x10, 0x42, 0x52, 0x31, 0x02}}),
    [](const auto &info) { return std::string(info.param.name); });
