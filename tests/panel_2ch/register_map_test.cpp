// The VXC5420 register map: the bits an "All Regs" Write forces, the field edits of the
// pages and lists, and the selections of the fixed modes.

#include "chips/vxc5420/register_map.h"

#include <gtest/gtest.h>

namespace {

using namespace vxc5420;

TEST(Vxc5420Map, ForcedBitsOfEachRegister) {
    const uint8_t ones[kRegisterCount] = {0xFF, 0x91, 0x46, 0x77, 0x31, 0x02};
    const uint8_t zeros[kRegisterCount] = {0x02, 0x00, 0x40, 0x00, 0x30, 0x00};
    for (int a = 0; a < kRegisterCount; ++a) {
        EXPECT_EQ(ForcedBits(a, 0xFF), ones[a]) << a;
        EXPECT_EQ(ForcedBits(a, 0x00), zeros[a]) << a;
    }
    EXPECT_EQ(ForcedBits(kCr0, 0x04), 0x44) << "bit 2 kept";
}

TEST(Vxc5420Map, MuxAndBufferEdits) {
    EXPECT_EQ(WithPositiveInput(0x9F, 0), 0x81);
    EXPECT_EQ(WithNegativeInput(0x81, 1), 0x81);
    EXPECT_EQ(WithPositiveInput(0x00, 1), 0x10);
    EXPECT_EQ(WithNegativeInput(0xFF, 0), 0x90);
    EXPECT_EQ(WithBuffer(0xFF, false), 0x44);
    EXPECT_EQ(WithBuffer(0x44, true), 0x46);
    EXPECT_EQ(MuxPositiveInput(0x11), 1);
    EXPECT_EQ(MuxNegativeInput(0x10), 0);
}

TEST(Vxc5420Map, GainAndRateCodesClearBitsSevenAndThree) {
    EXPECT_EQ(PgaCode(0x5A), 5);
    EXPECT_EQ(RateCode(0x5A), 2);
    EXPECT_EQ(WithPgaCode(0xFF, 4), 0x47);
    EXPECT_EQ(WithRateCode(0xFF, 5), 0x75);
}

TEST(Vxc5420Map, FixedModesSelectTheirGainAndRate) {
    FixedSelection s{};
    ASSERT_TRUE(FixedModeSelection(1, s));
    EXPECT_EQ(TableEntries(PgaItems)[s.pgaPosition].text, std::string("128"));
    EXPECT_EQ(TableEntries(RateItems)[s.ratePosition].text, std::string("    10 SPS"));
    ASSERT_TRUE(FixedModeSelection(2, s));
    EXPECT_EQ(TableEntries(PgaItems)[s.pgaPosition].text, std::string("1"));
    EXPECT_EQ(TableEntries(RateItems)[s.ratePosition].text, std::string("    40 SPS"));
    ASSERT_TRUE(FixedModeSelection(3, s));
    EXPECT_EQ(s.pgaPosition, 7);
    EXPECT_EQ(s.ratePosition, 2);
    EXPECT_FALSE(FixedModeSelection(kCommandMode, s));
    EXPECT_EQ(TableEntries(ModeItems).size(), 4u);
}

} // namespace

TEST(Vxc5420Map, GainAndDataRateForTheAnalysis) {
    EXPECT_EQ(vxc5420::PgaGain(0), 1.0);
    EXPECT_EQ(vxc5420::PgaGain(7), 128.0);
    EXPECT_EQ(vxc5420::DataRateSps(0), 10.0);
    EXPECT_EQ(vxc5420::DataRateSps(7), 1280.0);
    EXPECT_EQ(vxc5420::PgaGain(8), 0.0);
}
