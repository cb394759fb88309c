// The VXC5480 profile: what a save writes byte for byte, what a load accepts and makes of it.

#include "chips/vxc5480/profile_8ch.h"

#include <QFileInfo>
#include <QStringEncoder>

#include "tests/support/scratch_file.h"

#include <gtest/gtest.h>

namespace {

using namespace vxc5480;

constexpr RegisterImage kSample = {0x30, 0x18, 0x20, 0xF0, 0xE1, 0x45,
                                   0x23, 0x01, 0x00, 0x00, 0x40};

// What Pellorin writes for kSample into a new file, on every platform.
const char kNewFile[] = "[EVM]\r\nTarget=VXC5480\r\n"
                        "[REG]\r\nSTATUS=0x30\r\nMUX=0x18\r\nADCON=0x20\r\nDRAT=0xF0\r\n"
                        "IO=0xE1\r\nOFC0=0x45\r\nOFC1=0x23\r\nOFC2=0x01\r\nFSC0=0x00\r\n"
                        "FSC1=0x00\r\nFSC2=0x40\r\n";

class ProfileTest : public ScratchFileTest {
  protected:
    ProfileTest() : ScratchFileTest("Pellorin.ini") {}
};

TEST_F(ProfileTest, SaveWritesTheProfileFormatByteForByte) {
    ASSERT_TRUE(SaveRegisterProfile(path(), kSample));
    EXPECT_EQ(bytes(), QByteArray(kNewFile));
    RegisterImage loaded{};
    ASSERT_EQ(LoadRegisterProfile(path(), loaded), ProfileLoad::Loaded);
    EXPECT_EQ(loaded, kSample);
}

TEST_F(ProfileTest, SavingOverAFileKeepsForeignLines) {
    put("; notes of the bench\r\n[EVM]\r\nTarget=vxc5480\r\nBoard=rev B\r\n\r\n"
        "[reg]\r\nstatus=0x00\r\nDRATE=0x11\r\n\r\n[Mine]\r\nKeep=1\r\n");
    ASSERT_TRUE(SaveRegisterProfile(path(), kSample));
    EXPECT_EQ(bytes(),
              QByteArray("; notes of the bench\r\n[EVM]\r\nTarget=VXC5480\r\nBoard=rev B\r\n"
                         "\r\n[reg]\r\nstatus=0x30\r\nDRATE=0x11\r\nMUX=0x18\r\n"
                         "ADCON=0x20\r\nDRAT=0xF0\r\nIO=0xE1\r\nOFC0=0x45\r\nOFC1=0x23\r\n"
                         "OFC2=0x01\r\nFSC0=0x00\r\nFSC1=0x00\r\nFSC2=0x40\r\n\r\n"
                         "[Mine]\r\nKeep=1\r\n"));
}

TEST_F(ProfileTest, Utf16ProfileWithByteOrderMarkLoads) {
    const QString text = QString::fromLatin1(kNewFile);
    put(QByteArray("\xFF\xFE", 2) + QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(text)));
    RegisterImage loaded{};
    ASSERT_EQ(LoadRegisterProfile(path(), loaded), ProfileLoad::Loaded);
    EXPECT_EQ(loaded, kSample);
}

struct LoadCase {
    const char *name;
    const char *file; // null: no file at all
    bool accepted;
    RegisterImage expected; // the image after the load, which starts as all 0x77
};

constexpr RegisterImage kUntouched = {0x77, 0x77, 0x77, 0x77, 0x77, 0x77,
                                      0x77, 0x77, 0x77, 0x77, 0x77};

class LoadTest : public ProfileTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, LoadsOrRefuses) {
    const LoadCase &c = GetParam();
    if (c.file)
        put(c.file);
    RegisterImage image = kUntouched;
    EXPECT_EQ(LoadRegisterProfile(path(), image),
              c.accepted ? ProfileLoad::Loaded : ProfileLoad::WrongChip);
    EXPECT_EQ(image, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadTest,
    ::testing::Values(
        LoadCase{"LowerCaseTargetAndKeys",
                 "[evm]\ntarget=vxc5480\n[reg]\nstatus=0x30\nmux=0x18\nadcon=0X20\ndrat=f0\n",
                 true,
                 {0x30, 0x18, 0x20, 0xF0}},
        LoadCase{"OverlongValueKeepsLowByte",
                 "[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nMUX=0x1FF\r\n",
                 true,
                 {0x00, 0xFF}},
        LoadCase{"NoLeadingDigitIsZero",
                 "[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nMUX=zz\r\nIO=  0x0Fq\r\nADCON=0x\r\n",
                 true,
                 {0x00, 0x00, 0x00, 0x00, 0x0F}},
        LoadCase{"DrateSpelledInFullIsNotTheKey",
                 "[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nDRATE=0xF0\r\n",
                 true,
                 {}},
        LoadCase{"OnlyFifteenCharactersCount",
                 "[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nSTATUS=0x00000000000012\r\n",
                 true,
                 {0x01}},
        LoadCase{"MissingRegSectionLoadsZeros", "[EVM]\r\nTarget=VXC5480\r\n", true, {}},
        LoadCase{"OtherChipRefused", "[EVM]\r\nTarget=VXC5420\r\n[REG]\r\nMUX=0x01\r\n", false,
                 kUntouched},
        LoadCase{"MissingTargetRefused", "[REG]\r\nMUX=0x01\r\n", false, kUntouched},
        LoadCase{"MissingFileRefused", nullptr, false, kUntouched}),
    [](const auto &info) { return std::string(info.param.name); });

// A file far above any profile's size is refused from its size alone, before a byte of it is
// read: a load or a save over it costs no time and no memory, and the file stays as it was.
TEST_F(ProfileTest, AHugeFileIsRefusedUnread) {
    put("[EVM]\r\nTarget=VXC5480\r\n");
    {
        QFile file(path());
        ASSERT_TRUE(file.resize(50 * 1024 * 1024)); // sparse: no disk space taken
    }
    RegisterImage image = kSample;
    platform::FileError error;
    EXPECT_EQ(panel_common::LoadRegisterProfile(path(), kProfileLayout, image.data(), &error),
              ProfileLoad::Unreadable);
    EXPECT_EQ(error.reason, QStringLiteral("Larger than 1 MiB (52428800 bytes)"));
    EXPECT_EQ(image, kSample);
    EXPECT_FALSE(SaveRegisterProfile(path(), kSample));
    EXPECT_EQ(QFileInfo(path()).size(), 50 * 1024 * 1024);
}

TEST(ProfileMessage, NamesTheChipInQuotes) {
    EXPECT_EQ(InvalidProfileMessage(), QStringLiteral("The profile is invalid for \"VXC5480\""));
}

} // namespace
