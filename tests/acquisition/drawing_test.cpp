// The chart pictures, pixel by pixel: grid, major lines and ticks, data points and bars.

#include "acquisition/chart_font.h"
#include "acquisition/distribution.h"
#include "acquisition/distribution_chart.h"
#include "acquisition/line_chart.h"
#include "acquisition/statistics.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>

#include <algorithm>

#include <vector>

namespace {
constexpr int W = 560;
constexpr int H = 360;
const ChartColors kColors;

QRgb rgb(const QColor &c) {
    return c.rgb();
}

bool anyPixelNot(const QImage &image, QRect area, QRgb colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != colour)
                return true;
    return false;
}

int countColour(const QImage &image, QRect area, QRgb colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

ChartState scaleAt1230() {
    ChartState state;
    state.m_centre = 1230;
    state.m_unitsPerDivision = 10; // bottom line 1080, one code per pixel
    return state;
}

QImage lineChart(const std::vector<int32_t> &samples, int start, ChartState state = {},
                 const ChartColors &colors = kColors) {
    return DrawLineChart(QSize(W, H), samples, start, state, colors, MakeChartFont());
}
} // namespace

TEST(AcqChartFrame, GridMajorLinesAndTicks) {
    const QImage image = lineChart({}, 0);
    const QRgb grid = rgb(kColors.m_gridColor);
    const QRgb back = rgb(kColors.m_backgroundColor);
    ASSERT_EQ(image.size(), QSize(W, H));

    // Minor vertical line 1 reaches from the top to the bottom line, nothing below it.
    EXPECT_EQ(image.pixel(73, 0), grid);
    EXPECT_EQ(image.pixel(73, H - 35), grid);
    EXPECT_EQ(image.pixel(73, H - 29), back);
    EXPECT_EQ(image.pixel(74, H - 35), back);
    // Major vertical line 5 is two pixels wide; its tick covers H-27 to H-25.
    EXPECT_EQ(image.pixel(113, H - 35), grid);
    EXPECT_EQ(image.pixel(114, H - 35), grid);
    EXPECT_EQ(image.pixel(115, H - 35), back);
    for (int y : {H - 27, H - 26, H - 25}) {
        EXPECT_EQ(image.pixel(113, y), grid);
        EXPECT_EQ(image.pixel(114, y), grid);
    }
    EXPECT_EQ(image.pixel(113, H - 28), back);
    EXPECT_EQ(image.pixel(113, H - 24), back);
    // The last vertical line is 45, at 513 and 514.
    EXPECT_EQ(image.pixel(514, H - 35), grid);
    EXPECT_EQ(image.pixel(515, H - 35), back);

    // Horizontal line 1 from x = 63 to the right edge; major line 5 on two rows with ticks
    // from x = 60 down to 58.
    EXPECT_EQ(image.pixel(63, H - 40), grid);
    EXPECT_EQ(image.pixel(W - 1, H - 40), grid);
    EXPECT_EQ(image.pixel(62, H - 40), back);
    EXPECT_EQ(image.pixel(60, H - 40), back);
    for (int y : {H - 80, H - 81}) {
        EXPECT_EQ(image.pixel(W - 1, y), grid);
        EXPECT_EQ(image.pixel(60, y), grid);
        EXPECT_EQ(image.pixel(58, y), grid);
        EXPECT_EQ(image.pixel(57, y), back);
        EXPECT_EQ(image.pixel(61, y), back);
    }
    EXPECT_EQ(image.pixel(W - 1, H - 82), back);
    // The top line, 30, is on rows H-330 and H-331; nothing above it but vertical lines.
    EXPECT_EQ(image.pixel(300, H - 331), grid);
    EXPECT_EQ(image.pixel(300, H - 332), back);

    // Below the plot only ticks: 10 majors x 2 columns x 3 rows.
    EXPECT_EQ(countColour(image, QRect(0, H - 29, W, 29), grid), 60);
    // Left of the plot only ticks: 7 majors x 2 rows x 3 columns.
    EXPECT_EQ(countColour(image, QRect(0, 0, 63, H - 29), grid), 42);
    // An empty chart has no labels and no line: grid and background only.
    EXPECT_EQ(countColour(image, image.rect(), grid) + countColour(image, image.rect(), back),
              W * H);
}

TEST(AcqLineChart, DataPointsOnTheirVerticalLines) {
    std::vector<int32_t> samples;
    for (int i = 0; i < 45; ++i)
        samples.push_back(1080 + (i % 2) * 50); // bottom line and major line 5, alternately
    const QImage image = lineChart(samples, 0, scaleAt1230());
    const QRgb data = rgb(kColors.m_dataColor);
    for (int i = 0; i < 45; ++i)
        EXPECT_EQ(image.pixel(73 + 10 * i, i % 2 ? H - 80 : H - 30), data) << "sample " << i;
    // Nothing of the line left of the first sample or right of the last.
    EXPECT_EQ(countColour(image, QRect(0, 0, 73, H), data), 0);
    EXPECT_EQ(countColour(image, QRect(514, 0, W - 514, H), data), 0);
    // Sample numbers and code values are written.
    EXPECT_TRUE(anyPixelNot(image, QRect(92, H - 23, 40, 16), rgb(kColors.m_backgroundColor)));
    EXPECT_TRUE(anyPixelNot(image, QRect(15, H - 37, 40, 15), rgb(kColors.m_backgroundColor)));
}

TEST(AcqLineChart, SampleAtItsCodeRow) {
    const std::vector<int32_t> samples(45, 1234);
    const QImage image = lineChart(samples, 0, scaleAt1230());
    const QRgb data = rgb(kColors.m_dataColor);
    EXPECT_EQ(image.pixel(73, H - 184), data);
    EXPECT_EQ(image.pixel(300, H - 184), data);
    EXPECT_EQ(image.pixel(513, H - 184), data);
    EXPECT_EQ(countColour(image, QRect(0, 0, W, H), data), 513 - 73 + 1);
}

TEST(AcqLineChart, StartNearTheEndJoinsOnlyTheRest) {
    std::vector<int32_t> samples(100, 1100);
    const QRgb data = rgb(kColors.m_dataColor);
    const QImage tail = lineChart(samples, 60, scaleAt1230());
    EXPECT_EQ(tail.pixel(73, H - 50), data);
    EXPECT_EQ(tail.pixel(463, H - 50), data); // sample 99 on line 40
    EXPECT_EQ(countColour(tail, QRect(464, 0, W - 464, H), data), 0);

    const QImage none = lineChart(samples, 100, scaleAt1230());
    EXPECT_EQ(countColour(none, none.rect(), data), 0);
    EXPECT_TRUE(anyPixelNot(none, QRect(92, H - 23, 40, 16), rgb(kColors.m_backgroundColor)));

    const QImage lone = lineChart(samples, 99, scaleAt1230());
    EXPECT_EQ(lone.pixel(73, H - 50), data);
    EXPECT_EQ(countColour(lone, lone.rect(), data), 1);
}

TEST(AcqLineChart, WideSpreadStaysInsideThePlot) {
    const std::vector<int32_t> samples = {-8388608, 8388607, 0};
    ChartState state;
    ASSERT_TRUE(UpdateStatistics(samples, state));
    const QImage image = lineChart(samples, 0, state);
    const QRgb data = rgb(kColors.m_dataColor);
    int top = H, bottom = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (image.pixel(x, y) == data) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_GE(top, H - 330);
    EXPECT_LE(bottom, H - 30);
    EXPECT_GT(bottom - top, 250);
}

TEST(AcqLineChart, WideValueLabelsAreWholeAndLeaveTheTicks) {
    ChartState state;
    state.m_centre = -8388000;
    state.m_unitsPerDivision = 10; // labels of eight characters, "-8388150" and up
    const QImage image = lineChart(std::vector<int32_t>(45, -8388000), 0, state);
    const QRgb back = rgb(kColors.m_backgroundColor);
    const QRgb grid = rgb(kColors.m_gridColor);
    for (int l = 0; l <= 30; l += 5) {
        const int y = H - 30 - 10 * l;
        // The label reaches left of its 40-pixel box (its minus sign is there) ...
        EXPECT_TRUE(anyPixelNot(image, QRect(0, y - 7, 15, 15), back)) << l;
        // ... and stops before the ticks, which stay whole.
        EXPECT_FALSE(anyPixelNot(image, QRect(57, y - 7, 1, 6), back)) << l;
        for (int x = 58; x <= 60; ++x) {
            EXPECT_EQ(image.pixel(x, y), grid);
            EXPECT_EQ(image.pixel(x, y - 1), grid);
        }
    }
}

TEST(AcqLineChart, ChosenColoursAreUsed) {
    ChartColors colors;
    colors.m_dataColor = QColor(0, 0, 255);
    colors.m_backgroundColor = QColor(255, 255, 255);
    colors.m_gridColor = QColor(10, 20, 30);
    const QImage image = lineChart(std::vector<int32_t>(45, 1100), 0, scaleAt1230(), colors);
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(73, H - 50), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(113, 5), qRgb(10, 20, 30));
}

TEST(AcqDistribution, BarsAreThirtyPixelColumns) {
    const std::vector<int32_t> samples = {0, 10, 10, 10};
    const Distribution d = ComputeDistribution(samples);
    const QImage image =
        DrawDistribution(QSize(W, H), true, d, ChartState(), kColors, MakeChartFont());
    const QRgb data = rgb(kColors.m_dataColor);
    const std::array<int, 8> heights = BarHeights(d.g_bandCounts);
    ASSERT_GT(heights[2], 0);
    int drawnBars = 0;
    for (int k = 0; k < 8; ++k) {
        const int left = 73 + 50 * k;
        // Exactly the 30 columns of the bar, from the bottom line up to its height.
        EXPECT_EQ(countColour(image, QRect(left, 0, 30, H), data), 30 * heights[k]) << k;
        EXPECT_EQ(countColour(image, QRect(left - 10, 0, 10, H), data), 0) << k;
        EXPECT_EQ(countColour(image, QRect(left + 30, 0, 10, H), data), 0) << k;
        if (heights[k] > 0) {
            ++drawnBars;
            EXPECT_EQ(image.pixel(left, H - 30), data);
            EXPECT_EQ(image.pixel(left + 29, H - 30 - heights[k] + 1), data);
            EXPECT_NE(image.pixel(left + 29, H - 30 - heights[k]), data);
        }
        // Band limits under the grid, on staggered rows.
        const int o = 50 * (k + 1);
        const int s = k % 2 ? 9 : 0;
        EXPECT_TRUE(
            anyPixelNot(image, QRect(o + 40, H - 23 + s, 44, 6), rgb(kColors.m_backgroundColor)))
            << k;
    }
    EXPECT_EQ(drawnBars, 2);
}

TEST(AcqDistribution, WithoutSamplesOnlyTheFrame) {
    const QImage frame = lineChart({}, 0);
    const QImage empty = DrawDistribution(QSize(W, H), false, ComputeDistribution({}), ChartState(),
                                          kColors, MakeChartFont());
    EXPECT_EQ(empty, frame);
}

TEST(AcqChartFont, CellIsFifteenPixels) {
    const QFont font = MakeChartFont();
    EXPECT_LE(QFontMetrics(font).height(), 15);
    EXPECT_GE(QFontMetrics(font).height(), 13);
}
