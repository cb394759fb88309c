// The VXC5480 register model: list tables, field codes and texts.

#include "chips/vxc5480/register_map.h"

#include <gtest/gtest.h>

namespace {

using namespace vxc5480;

TEST(ListTables, DataRateTextsKeepTheirLeadingBlanks) {
    const std::vector<ComboItem> rates = TableEntries(DataRateItems);
    const std::vector<std::pair<int, std::string>> expected = {
        {0x03, "     2.5 SPS"}, {0x13, "        5 SPS"}, {0x23, "      10 SPS"},
        {0x33, "      15 SPS"}, {0x43, "      25 SPS"},  {0x53, "      30 SPS"},
        {0x63, "      50 SPS"}, {0x72, "      60 SPS"},  {0x82, "    100 SPS"},
        {0x92, "    500 SPS"},  {0xA1, "  1000 SPS"},    {0xB0, "  2000 SPS"},
        {0xC0, "  3750 SPS"},   {0xD0, "  7500 SPS"},    {0xE0, "15000 SPS"},
        {0xF0, "30000 SPS"}};
    ASSERT_EQ(rates.size(), expected.size());
    for (size_t i = 0; i < rates.size(); ++i) {
        EXPECT_EQ(rates[i].code, expected[i].first) << i;
        EXPECT_EQ(std::string(rates[i].text), expected[i].second) << i;
    }
}

TEST(ListTables, SmallTablesInOrder) {
    auto texts = [](const ComboItem *table) {
        std::vector<std::string> out;
        int code = 0;
        for (const ComboItem &item : TableEntries(table)) {
            EXPECT_EQ(item.code, code++);
            out.push_back(item.text);
        }
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(texts(ClockOutItems), (V{"Off", "f_CLKIN", "f_CLKIN/2", "f_CLKIN/4"}));
    EXPECT_EQ(texts(SensorCurrentItems), (V{"Off", "0.5 uA", "2 uA", "10 uA"}));
    EXPECT_EQ(texts(PgaGainItems), (V{"1", "2", "4", "8", "16", "32", "64"}));
}

TEST(Fields, AdconFieldsLeaveTheOtherBits) {
    EXPECT_EQ(WithSensorCurrentCode(0x67, 3), 0x7F);
    EXPECT_EQ(WithSensorCurrentCode(0xFF, 0), 0xE7);
    EXPECT_EQ(WithClockOutCode(0x9F, 1), 0xBF);
    EXPECT_EQ(WithPgaCode(0xFF, 2), 0xFA);
    EXPECT_EQ(ClockOutCode(0x20), 1);
    EXPECT_EQ(SensorCurrentCode(0x18), 3);
    EXPECT_EQ(PgaCode(0x0F), 7);
}

struct MuxCase {
    uint8_t mux;
    int positive;
    int negative;
};

class MuxTest : public ::testing::TestWithParam<MuxCase> {};

TEST_P(MuxTest, HalvesAboveSevenReadAsAincom) {
    EXPECT_EQ(MuxPositiveInput(GetParam().mux), GetParam().positive);
    EXPECT_EQ(MuxNegativeInput(GetParam().mux), GetParam().negative);
}

INSTANTIATE_TEST_SUITE_P(Cases, MuxTest,
                         ::testing::Values(MuxCase{0x01, 0, 1}, MuxCase{0x38, 3, 8},
                                           MuxCase{0x88, 8, 8}, MuxCase{0x9A, 8, 8},
                                           MuxCase{0x7F, 7, 8}));

TEST(Texts, ClockOutStatusAndCalibration) {
    EXPECT_EQ(ClockOutText(0), QStringLiteral("0.000000MHz"));
    EXPECT_EQ(ClockOutText(1), QStringLiteral("7.680000MHz"));
    EXPECT_EQ(ClockOutText(2), QStringLiteral("3.840000MHz"));
    EXPECT_EQ(ClockOutText(3), QStringLiteral("1.920000MHz"));
    EXPECT_EQ(StatusIdText(0x3A), QStringLiteral("03"));
    EXPECT_EQ(StatusIdText(0xC0), QStringLiteral("12"));
    const uint8_t offset[3] = {0x45, 0x23, 0x01};
    EXPECT_EQ(CalibrationText(offset), QStringLiteral("012345"));
}

TEST(WriteSequences, RegistersInFrameOrderPerTab) {
    using V = std::vector<uint8_t>;
    EXPECT_EQ(WriteSequence(kTabMux), (V{kMux, kAdcon, kDrate}));
    EXPECT_EQ(WriteSequence(kTabClocks), (V{kAdcon, kDrate}));
    EXPECT_EQ(WriteSequence(kTabGpio), (V{kIo, kAdcon, kDrate}));
    EXPECT_EQ(WriteSequence(kTabPower), (V{kAdcon, kDrate}));
    EXPECT_EQ(WriteSequence(kTabCal), V{});
    EXPECT_EQ(WriteSequence(kTabStatus), (V{kStatus, kAdcon, kDrate}));
    EXPECT_EQ(WriteSequence(kTabAll).size(), 11u);
}

} // namespace

TEST(Fields, GainAndDataRateForTheAnalysis) {
    EXPECT_EQ(PgaGain(0x20), 1.0); // the clock-out bits do not count
    EXPECT_EQ(PgaGain(0x06), 64.0);
    EXPECT_EQ(PgaGain(0x07), 64.0); // no list entry: the chip's highest gain
    EXPECT_EQ(DataRateSps(0x03), 2.5);
    EXPECT_EQ(DataRateSps(0x92), 500.0);
    EXPECT_EQ(DataRateSps(0xF0), 30000.0);
    EXPECT_EQ(DataRateSps(0x04), 0.0); // not a rate of the list
}
