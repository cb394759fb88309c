// The acquisition's arithmetic, case by case from the board's item format and the chart rules.

#include "acquisition/data_count.h"
#include "acquisition/distribution.h"
#include "acquisition/line_chart.h"
#include "acquisition/samples.h"
#include "acquisition/scroll.h"
#include "acquisition/statistics.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

TEST(AcqItemConversion, SignExtendsTwentyFourBitCodes) {
    const uint8_t items[] = {0x7F, 0xFF, 0xFF, 0x7D, 0x80, 0x00, 0x00, 0x80,
                             0xFF, 0xFF, 0xFF, 0xFD, 0x00, 0x00, 0x00, 0x00};
    std::vector<int32_t> samples{99, 98, 97, 96, 95};
    EXPECT_EQ(ConvertSamples(items, 4, samples), 0);
    EXPECT_EQ(samples, (std::vector<int32_t>{8388607, -8388608, -1, 0}));
    EXPECT_EQ(FirstBadItem(items, 4), -1);
}

TEST(AcqItemConversion, FirstBadChecksumIsReported) {
    std::vector<uint8_t> items(10 * 4, 0);
    items[3 * 4 + 0] = 0x12; // 12 34 56 00: the sum is 9C
    items[3 * 4 + 1] = 0x34;
    items[3 * 4 + 2] = 0x56;
    items[7 * 4 + 3] = 0x01;
    EXPECT_EQ(FirstBadItem(items.data(), 10), 3);
    EXPECT_EQ(FirstBadItem(items.data(), 3), -1);
}

struct StatisticsCase {
    std::vector<int32_t> samples;
    int32_t minimum, maximum, average, centre;
    float units;
};

TEST(AcqStatistics, ScaleChoiceTable) {
    const std::vector<StatisticsCase> cases = {
        {{1234, 1234, 1234}, 1234, 1234, 1234, 1230, 10},
        {{-7}, -7, -7, -7, 0, 10},
        {{-1000, 1000}, -1000, 1000, 0, 0, 70},
        {{100, 260}, 100, 260, 180, 150, 10},
        {{1, 2, 2}, 1, 2, 1, 0, 10},
        {{-1, -2, -2}, -2, -1, -1, 0, 10},
        {{0, 149}, 0, 149, 74, 50, 10},                    // halfSpan 99
        {{0, 300}, 0, 300, 150, 150, 20},                  // halfSpan 150 needs k = 2
        {{-8388608, 8388607}, -8388608, 8388607, 0, 0, 0}, // no step up to 990 fits
    };
    for (const StatisticsCase &c : cases) {
        ChartState state;
        state.m_divisionWidth = 3;
        ASSERT_TRUE(UpdateStatistics(c.samples, state));
        EXPECT_EQ(state.m_minimum, c.minimum);
        EXPECT_EQ(state.m_maximum, c.maximum);
        EXPECT_EQ(state.m_average, c.average);
        EXPECT_EQ(state.m_centre, c.centre) << c.minimum << ".." << c.maximum;
        EXPECT_EQ(state.m_unitsPerDivision, c.units) << c.minimum << ".." << c.maximum;
        EXPECT_EQ(state.m_divisionWidth, 10);
        EXPECT_EQ(state.m_divisionHeight, 10);
    }
    ChartState untouched;
    untouched.m_minimum = 5;
    EXPECT_FALSE(UpdateStatistics({}, untouched));
    EXPECT_EQ(untouched.m_minimum, 5);
}

TEST(AcqStatistics, StepsPastTheLargestStillCoverEverySample) {
    ChartState state;
    UpdateStatistics({-8388608, 8388607}, state);
    const float units = DrawingUnitsPerDivision(state);
    EXPECT_GT(units * 15, 8388608.0f);
    EXPECT_EQ(std::fmod(units, 10.0f), 0.0f);
    // Just past the last step: halfSpan 14850 needs 1000 per division.
    UpdateStatistics({-14850, 14850}, state);
    EXPECT_EQ(state.m_unitsPerDivision, 0.0f);
    EXPECT_EQ(DrawingUnitsPerDivision(state), 1000.0f);
    UpdateStatistics({-14849, 14849}, state);
    EXPECT_EQ(DrawingUnitsPerDivision(state), 990.0f);
}

TEST(AcqLineChartScale, ValueLabelsAndSampleRows) {
    EXPECT_EQ(LineValueLabels(1230, 10),
              (std::array<int, 7>{1080, 1130, 1180, 1230, 1280, 1330, 1380}));
    EXPECT_EQ(LineValueLabels(0, 70), (std::array<int, 7>{-1050, -700, -350, 0, 350, 700, 1050}));
    const int h = 400;
    EXPECT_EQ(SampleY(1234, 1080, 10, 10, h), h - 184);
    EXPECT_EQ(SampleY(1080 + 50, 1080, 10, 10, h), h - 80);
    EXPECT_EQ(SampleY(1080, 1080, 10, 10, h), h - 30);
    EXPECT_EQ(SampleY(1080 + 300, 1080, 10, 10, h), h - 330);
}

TEST(AcqDistribution, BandLimitsAndCounts) {
    const Distribution d = ComputeDistribution({0, 10});
    EXPECT_EQ(d.g_bandLimits, (std::array<float, 8>{-10, -5, 0, 5, 10, 15, 20, 25}));
    EXPECT_EQ(d.g_bandCounts, (std::array<int32_t, 8>{0, 0, 0, 1, 0, 1, 0, 0}));
    EXPECT_EQ(BarHeights(d.g_bandCounts)[3], 10);

    const Distribution equal = ComputeDistribution({7, 7, 7});
    EXPECT_EQ(equal.g_bandLimits, (std::array<float, 8>{7, 7, 7, 7, 7, 7, 7, 7}));
    EXPECT_EQ(equal.g_bandCounts, (std::array<int32_t, 8>{}));

    // Mean 0, sigma 1: -1000 is far below (band 0), 4 sits exactly on mean + 4 sigma (no band).
    std::vector<int32_t> spread(1000, 0);
    spread[0] = -1000;
    spread[1] = 1000;
    const Distribution wide = ComputeDistribution(spread);
    EXPECT_EQ(wide.g_bandCounts[0], 1);
    EXPECT_EQ(wide.g_bandCounts[4], 998);
    EXPECT_EQ(wide.g_bandCounts[7], 0);

    const Distribution none = ComputeDistribution({});
    EXPECT_TRUE(std::isnan(none.g_bandLimits[0]));
    EXPECT_EQ(none.g_bandCounts, (std::array<int32_t, 8>{}));
}

TEST(AcqDistribution, SampleOnTheTopLimitIsInNoBand) {
    // Sixteen zeros and one 17: mean 1, sigma exactly 4, so 17 sits on mean + 4 sigma.
    std::vector<int32_t> samples(16, 0);
    samples.push_back(17);
    const Distribution d = ComputeDistribution(samples);
    EXPECT_EQ(d.g_bandLimits, (std::array<float, 8>{-11, -7, -3, 1, 5, 9, 13, 17}));
    EXPECT_EQ(d.g_bandCounts, (std::array<int32_t, 8>{0, 0, 0, 16, 0, 0, 0, 0}));
}

TEST(AcqDistribution, BarScaleTable) {
    const std::vector<std::pair<int32_t, int>> tallest = {
        {1, 10},   {30, 300},  {31, 155},  {38, 190},  {39, 156},  {75, 300},
        {76, 152}, {150, 300}, {151, 151}, {300, 300}, {1000, 300}};
    for (const auto &[largest, height] : tallest) {
        std::array<int32_t, 8> counts{};
        counts[2] = largest;
        EXPECT_EQ(BarHeights(counts)[2], height) << "largest count " << largest;
    }
    EXPECT_EQ(BarScale(0), 0.1f);
    std::array<int32_t, 8> mixed{0, 3, 60, 0, 0, 0, 0, 0};
    EXPECT_EQ(BarHeights(mixed), (std::array<int, 8>{0, 12, 240, 0, 0, 0, 0, 0}));
}

TEST(AcqDistribution, CountLabelsAddUpTruncation) {
    EXPECT_EQ(CountLabels(BarScale(1000)), (std::array<int, 7>{0, 166, 332, 498, 664, 830, 996}));
    EXPECT_EQ(CountLabels(BarScale(60)), (std::array<int, 7>{0, 12, 24, 36, 48, 60, 72}));
    EXPECT_EQ(CountLabels(BarScale(0)), (std::array<int, 7>{0, 5, 10, 15, 20, 25, 30}));
}

TEST(AcqDataCount, ParsingRules) {
    const std::vector<std::pair<QString, int>> parsed = {
        {"", 0},    {"45", 45},       {"  12x", 12},  {"+7", 7},  {"-3", -3},
        {"abc", 0}, {"65535", 65535}, {"00100", 100}, {"7 0", 7}, {"\t9", 9}};
    for (const auto &[text, value] : parsed)
        EXPECT_EQ(ParseDataCount(text), value) << text.toStdString();

    EXPECT_EQ(CountForStart("").count, 45);
    EXPECT_TRUE(CountForStart("").showDefault);
    EXPECT_TRUE(CountForStart("0").showDefault);
    EXPECT_TRUE(CountForStart("x1").showDefault);
    EXPECT_FALSE(CountForStart("-5").showDefault);
    EXPECT_EQ(CountForStart("-5").count, -5);

    EXPECT_FALSE(DataCountTooLarge("7000"));
    EXPECT_TRUE(DataCountTooLarge("70000"));
    EXPECT_FALSE(DataCountTooLarge("65535"));
    EXPECT_TRUE(DataCountTooLarge("65536"));
    EXPECT_FALSE(DataCountTooLarge("99999x"));
}

TEST(AcqScroll, NotificationTable) {
    const ScrollModel hundred{0, 99, 45, 0, 0};
    auto at = [](ScrollModel m, int32_t position) {
        m.position = position;
        return m;
    };
    EXPECT_EQ(ScrollTarget(ScrollCode::PageRight, at(hundred, 0)), 45);
    EXPECT_EQ(ScrollTarget(ScrollCode::PageRight, at(hundred, 45)), 54);
    EXPECT_EQ(ScrollTarget(ScrollCode::RightEnd, hundred), 99);
    EXPECT_EQ(HeldPosition(99, hundred), 55);
    EXPECT_EQ(ScrollTarget(ScrollCode::LineRight, at(hundred, 55)), 56);
    EXPECT_EQ(ScrollTarget(ScrollCode::LineRight, at(hundred, 98)), 98);
    EXPECT_EQ(ScrollTarget(ScrollCode::LineLeft, at(hundred, 0)), 0);
    EXPECT_EQ(ScrollTarget(ScrollCode::LineLeft, at(hundred, 5)), 4);
    EXPECT_EQ(ScrollTarget(ScrollCode::PageLeft, at(hundred, 45)), 0);
    EXPECT_EQ(ScrollTarget(ScrollCode::PageLeft, at(hundred, 50)), 5);
    EXPECT_EQ(ScrollTarget(ScrollCode::LeftEnd, at(hundred, 50)), 0);
    EXPECT_EQ(ScrollTarget(ScrollCode::Other, at(hundred, 50)), 50);
    ScrollModel dragged = at(hundred, 3);
    dragged.track = 30;
    EXPECT_EQ(ScrollTarget(ScrollCode::Track, dragged), 30);

    const ScrollModel ten{0, 9, 45, 0, 0};
    EXPECT_EQ(ScrollTarget(ScrollCode::PageRight, ten), 45);
    EXPECT_EQ(HeldPosition(45, ten), 0);
}
