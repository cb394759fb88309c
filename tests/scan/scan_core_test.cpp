// The scan's inputs, settings and figures, worked by hand: each chip's sets and MUX bytes, the
// command line's input lists, and what a row shows of its repeats.

#include "chips/vxc5420/register_map.h"
#include "chips/vxc5480/register_map.h"
#include "scan/scan_figures.h"
#include "scan/scan_inputs.h"
#include "scan/scan_settings.h"
#include "scan/scan_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using panel_common::MuxLayout;
using scan::ScanInput;

namespace {

QStringList labels(const MuxLayout &layout, const std::vector<ScanInput> &inputs) {
    QStringList list;
    for (const ScanInput &input : inputs)
        list << scan::InputLabel(layout, input);
    return list;
}

QStringList split(const char *text) {
    return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
}

TEST(ScanInputs, EachChipOffersItsOwnSets) {
    const MuxLayout &eight = vxc5480::kMuxLayout;
    const MuxLayout &two = vxc5420::kMuxLayout;
    EXPECT_EQ(labels(eight, scan::SingleEndedInputs(eight)),
              split("AIN0-AINCOM AIN1-AINCOM AIN2-AINCOM AIN3-AINCOM AIN4-AINCOM AIN5-AINCOM "
                    "AIN6-AINCOM AIN7-AINCOM"));
    EXPECT_EQ(labels(eight, scan::PairInputs(eight)),
              split("AIN0-AIN1 AIN2-AIN3 AIN4-AIN5 AIN6-AIN7"));
    EXPECT_EQ(scan::InputChoices(eight).size(), 9u * 8u);
    EXPECT_TRUE(scan::SingleEndedInputs(two).empty());
    EXPECT_EQ(labels(two, scan::PairInputs(two)), split("AIN0-AIN1"));
    EXPECT_EQ(labels(two, scan::InputChoices(two)), split("AIN0-AIN1 AIN1-AIN0"));
}

struct MuxCase {
    const MuxLayout *layout;
    uint8_t before;
    ScanInput input;
    uint8_t mux;
};

TEST(ScanInputs, MuxBytesFollowEachChipsRule) {
    const MuxCase cases[] = {
        {&vxc5480::kMuxLayout, 0x01, {3, 8}, 0x38}, // AIN3 against AINCOM
        {&vxc5480::kMuxLayout, 0xFF, {8, 0}, 0x80}, // nothing of the byte before stays
        {&vxc5420::kMuxLayout, 0x9F, {0, 1}, 0x81}, // bit 7 stays, bits 6:5 and 3:1 clear
        {&vxc5420::kMuxLayout, 0x00, {1, 0}, 0x10},
    };
    for (const MuxCase &c : cases) {
        EXPECT_EQ(c.layout->muxByte(c.before, c.input.positive, c.input.negative), c.mux)
            << scan::InputLabel(*c.layout, c.input).toStdString();
    }
}

struct ListCase {
    const MuxLayout *layout;
    const char *text;
    const char *parsed; // labels, or null when refused
};

TEST(ScanInputs, InputListsReadTheChipsNames) {
    const ListCase cases[] = {
        {&vxc5480::kMuxLayout, "AIN0-AINCOM,ain7-ain6", "AIN0-AINCOM AIN7-AIN6"},
        {&vxc5480::kMuxLayout, " AIN1 - AIN2 ", "AIN1-AIN2"},
        {&vxc5420::kMuxLayout, "AIN1-AIN0", "AIN1-AIN0"},
        {&vxc5420::kMuxLayout, "AIN0-AINCOM", nullptr}, // no common input on this chip
        {&vxc5480::kMuxLayout, "AIN8-AIN0", nullptr},
        {&vxc5480::kMuxLayout, "AIN3-AIN3", nullptr},
        {&vxc5480::kMuxLayout, "AIN3", nullptr},
        {&vxc5480::kMuxLayout, "AIN0-AIN1,", nullptr},
        {&vxc5480::kMuxLayout, "", nullptr},
    };
    for (const ListCase &c : cases) {
        std::vector<ScanInput> inputs;
        QString error;
        const bool ok = scan::ParseInputList(*c.layout, QLatin1String(c.text), inputs, error);
        EXPECT_EQ(ok, c.parsed != nullptr) << c.text;
        if (c.parsed) {
            EXPECT_EQ(labels(*c.layout, inputs), split(c.parsed)) << c.text;
        } else {
            EXPECT_FALSE(error.isEmpty()) << c.text;
        }
    }
}

TEST(ScanSettings, OneRequestCarriesTheDiscardedAndTheKeptSamples) {
    scan::ScanSettings settings;
    settings.inputs = {{0, 1}};
    settings.discard = 3;
    EXPECT_TRUE(scan::CheckScanSettings(settings).isEmpty());
    settings.count = 65532;
    EXPECT_TRUE(scan::CheckScanSettings(settings).isEmpty());
    settings.count = 65533;
    EXPECT_FALSE(scan::CheckScanSettings(settings).isEmpty());
    settings.count = 10;
    settings.repeats = 0;
    EXPECT_FALSE(scan::CheckScanSettings(settings).isEmpty());
    settings.repeats = 1;
    settings.inputs.clear();
    EXPECT_FALSE(scan::CheckScanSettings(settings).isEmpty());
}

analysis::NoiseFigures figures(double mean, double stdDev, int32_t minimum, int32_t maximum,
                               int64_t clipped = 0) {
    analysis::NoiseFigures f;
    f.count = 100;
    f.mean = mean;
    f.stdDev = stdDev;
    f.minimum = minimum;
    f.maximum = maximum;
    f.peakToPeak = int64_t{maximum} - minimum;
    f.effectiveBits = stdDev > 0 ? std::log2(analysis::kCodeSpan / stdDev)
                                 : std::numeric_limits<double>::infinity();
    f.noiseFreeBits = f.peakToPeak > 0 ? std::log2(analysis::kCodeSpan / double(f.peakToPeak))
                                       : std::numeric_limits<double>::infinity();
    f.clipped = clipped;
    return f;
}

TEST(ScanFigures, ARowIsTheMeanOfItsRepeatsWithTheirSpread) {
    scan::ScanRow row{{0, 8}, {figures(100, 2, 90, 110), figures(104, 4, 92, 118, 3)}};
    const scan::RowFigures f = scan::SummarizeRow(row);
    EXPECT_EQ(f.repeats, 2);
    EXPECT_EQ(f.samples, 200);
    EXPECT_DOUBLE_EQ(f.mean, 102);
    EXPECT_DOUBLE_EQ(f.stdDev, 3);
    EXPECT_DOUBLE_EQ(f.peakToPeak, 23);
    EXPECT_DOUBLE_EQ(f.minimum, 91);
    EXPECT_DOUBLE_EQ(f.maximum, 114);
    EXPECT_DOUBLE_EQ(f.meanSpread, std::sqrt(8.0)); // sample deviation of 100 and 104
    EXPECT_DOUBLE_EQ(f.stdDevSpread, std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(f.effectiveBits, (23.0 + 22.0) / 2); // log2(2^24 / 2), log2(2^24 / 4)
    EXPECT_EQ(f.clipped, 3);
}

// A repeat without noise has no resolution to average; a row of nothing but such repeats says
// so instead of showing an infinity, and the CSV leaves the field empty.
TEST(ScanFigures, RepeatsWithoutNoiseHaveNoResolution) {
    scan::ScanRow mixed{{0, 1}, {figures(5, 0, 5, 5), figures(7, 2, 4, 12)}};
    EXPECT_FALSE(scan::SummarizeRow(mixed).noNoise);
    EXPECT_DOUBLE_EQ(scan::SummarizeRow(mixed).effectiveBits, 23.0);
    scan::ScanRow flat{{0, 1}, {figures(5, 0, 5, 5)}};
    const QStringList cells = scan::ScanRowCells(vxc5420::kMuxLayout, flat, 0.0);
    EXPECT_EQ(cells[scan::kEffectiveBitsColumn], QLatin1String(analysis::kNoNoiseText));
    EXPECT_EQ(cells[scan::kMeanVoltsColumn], QStringLiteral("-")); // no scale
    const std::string csv = scan::ScanCsv(vxc5420::kMuxLayout, {flat}, 0.0);
    EXPECT_EQ(csv.substr(csv.find('\n') + 1), "AIN0,AIN1,1,100,5,,0,,0,,,5,5,0,0,0\n");
}

TEST(ScanTable, CellsCarryVoltsAndTheSpreadOfRepeats) {
    const double lsbVolts = 1e-6; // one code, one microvolt
    scan::ScanRow once{{3, 8}, {figures(-250.5, 1.25, -260, -240)}};
    EXPECT_EQ(scan::ScanRowCells(vxc5480::kMuxLayout, once, 2 * lsbVolts),
              (QStringList{"AIN3-AINCOM", "-250.500", "-501 \u00B5V", "1.250", "2.50 \u00B5V", "20",
                           "23.68", "19.68", "-260", "-240", "0"}));
    // Volts in the unit each value needs: nanovolts of noise beside volts of input.
    const QStringList far = scan::ScanRowCells(vxc5480::kMuxLayout, once, 0.02);
    EXPECT_EQ(far[scan::kMeanVoltsColumn], QStringLiteral("-5.01 V"));
    EXPECT_EQ(scan::ScanRowCells(vxc5480::kMuxLayout, once, 1e-8)[scan::kStdDevVoltsColumn],
              QStringLiteral("12.5 nV"));
    scan::ScanRow twice{{3, 8}, {figures(100, 2, 90, 110), figures(104, 4, 92, 118)}};
    const QStringList cells = scan::ScanRowCells(vxc5480::kMuxLayout, twice, 2 * lsbVolts);
    EXPECT_EQ(cells[scan::kMeanCodesColumn], QStringLiteral("102.000 \u00B1 2.828"));
    EXPECT_EQ(cells[scan::kStdDevVoltsColumn], QStringLiteral("6.0 \u00B1 2.8 \u00B5V"));
    EXPECT_EQ(cells[scan::kMinimumColumn], QStringLiteral("91.0"));
    scan::ScanRow notYet{{0, 1}, {}};
    EXPECT_EQ(scan::ScanRowCells(vxc5480::kMuxLayout, notYet, lsbVolts).join(u'|'),
              QStringLiteral("AIN0-AIN1||||||||||"));
}

} // namespace
