// Every PGA code and data-rate code of both chips, and every mode of the VXC5420 (and no
// known mode), gives the same facts through every caller: the panel (CurrentFacts on a real
// panel object with its m_current set), the command line's chip table, the facts a capture
// records (the window's way and the command line's) and the scan's volts per code and discard.
// Gains, rates and settling are hand-made here from the chips' lists; a few volts per code are
// worked out by hand.

#include "capture/capture_facts.h"
#include "chips/tables/chip_table.h"
#include "chips/vxc5420/chip_facts.h"
#include "chips/vxc5480/chip_facts.h"
#include "conversion/conversion_facts.h"
#include "panel_2ch/tz420_dlg.h"
#include "panel_8ch/tz410_dlg.h"
#include "scan/scan_figures.h"
#include "scan/scan_settings.h"

#include <QDateTime>

#include <cmath>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace {
constexpr double kCodes = 16777216.0;

struct Expected {
    double gain;
    double rate;
    int settling;
    bool modeKnown;
    const char *mode; // "" for a chip without modes
};

void ExpectSameFacts(const conversion::ConversionFacts &a, const conversion::ConversionFacts &b,
                     const std::string &where) {
    SCOPED_TRACE(where);
    EXPECT_DOUBLE_EQ(a.referenceVolts, b.referenceVolts);
    EXPECT_EQ(a.referenceSource, b.referenceSource);
    EXPECT_DOUBLE_EQ(a.referenceRange.defaultVolts, b.referenceRange.defaultVolts);
    EXPECT_DOUBLE_EQ(a.referenceRange.minVolts, b.referenceRange.minVolts);
    EXPECT_DOUBLE_EQ(a.referenceRange.maxVolts, b.referenceRange.maxVolts);
    EXPECT_DOUBLE_EQ(a.pgaGain, b.pgaGain);
    EXPECT_DOUBLE_EQ(a.spanPerReference, b.spanPerReference);
    EXPECT_DOUBLE_EQ(a.spanVolts, b.spanVolts);
    EXPECT_DOUBLE_EQ(a.voltsPerCode, b.voltsPerCode);
    EXPECT_DOUBLE_EQ(a.dataRateSps, b.dataRateSps);
    EXPECT_EQ(a.settlingConversions, b.settlingConversions);
    EXPECT_EQ(a.modeKnown, b.modeKnown);
    EXPECT_EQ(a.mode, b.mode);
}

// What the files record of the conversion, as name and value.
std::vector<std::pair<std::string, QString>> Recorded(const capture::CaptureFacts &facts) {
    std::vector<std::pair<std::string, QString>> record;
    for (const capture::RecordedFact &fact : capture::ConversionRecord(facts.conversion)) {
        const double *number = std::get_if<double>(&fact.value);
        record.emplace_back(fact.name, number ? QString::number(*number, 'g', 17)
                                              : std::get<QString>(fact.value));
    }
    return record;
}

double Recorded(const capture::CaptureFacts &facts, const char *name) {
    for (const capture::RecordedFact &fact : capture::ConversionRecord(facts.conversion)) {
        if (std::string(fact.name) == name)
            return std::get<double>(fact.value);
    }
    ADD_FAILURE() << "no " << name;
    return 0;
}

class ConversionFactsTable : public ::testing::Test {
  protected:
    // One image through every caller, at the chip's default reference and at one given.
    void check(const CEVMDialog &panel, const std::vector<uint8_t> &image, int mode,
               const Expected &expected, const std::string &where) {
        const cli::ChipSupport *chip = cli::FindChipSupport(panel.ChipName());
        ASSERT_NE(chip, nullptr);
        ASSERT_NE(chip->facts, nullptr);
        const std::optional<double> references[] = {std::nullopt, 2.0};
        for (const std::optional<double> &reference : references) {
            const std::string row = where + (reference ? " at 2.0 V" : " by default");
            const conversion::ConversionFacts facts = panel.CurrentFacts(reference);
            // The chip's own numbers.
            EXPECT_DOUBLE_EQ(facts.pgaGain, expected.gain) << row;
            EXPECT_DOUBLE_EQ(facts.dataRateSps, expected.rate) << row;
            EXPECT_EQ(facts.settlingConversions, expected.settling) << row;
            EXPECT_EQ(facts.modeKnown, expected.modeKnown) << row;
            EXPECT_EQ(facts.mode, expected.mode) << row;
            EXPECT_DOUBLE_EQ(facts.referenceVolts, reference.value_or(2.5)) << row;
            EXPECT_DOUBLE_EQ(facts.voltsPerCode, facts.spanPerReference * reference.value_or(2.5) /
                                                     expected.gain / kCodes)
                << row;
            // The command line's chip table.
            ExpectSameFacts(chip->facts(image, mode, reference), facts, row + ", chip table");
            // The windows work the facts out once at the default and follow the user's edits.
            ExpectSameFacts(conversion::WithReference(panel.CurrentFacts(std::nullopt), reference),
                            facts, row + ", reference applied later");
            // A capture records the same, from the window as from the command line; a gain
            // only guessed from the registers is recorded under a name that says so.
            const QDateTime start = QDateTime::currentDateTime();
            const capture::CaptureFacts fromWindow =
                capture::MakeFacts(panel.ChipName(), panel.CurrentRegisters(), facts, start);
            const capture::CaptureFacts fromCli = capture::MakeFacts(
                QLatin1String(chip->name), image, chip->facts(image, mode, reference), start);
            EXPECT_EQ(Recorded(fromWindow), Recorded(fromCli)) << row;
            EXPECT_DOUBLE_EQ(
                Recorded(fromCli, expected.modeKnown ? "pga_gain" : "pga_gain_from_registers"),
                expected.gain)
                << row;
            // The scan: microvolts only from a known gain, the chip's settling discarded.
            EXPECT_DOUBLE_EQ(scan::ScanVoltsPerCode(facts),
                             expected.modeKnown ? facts.voltsPerCode : 0.0)
                << row;
            EXPECT_EQ(scan::DefaultDiscard(facts), expected.settling) << row;
        }
    }
};
} // namespace

TEST_F(ConversionFactsTable, Vxc5480EveryGainAndRate) {
    // DRATE's listed bytes and their rates; PGA code 7, which the list lacks, converts at 64.
    const std::pair<uint8_t, double> rates[] = {
        {0x03, 2.5},  {0x13, 5},    {0x23, 10},    {0x33, 15},   {0x43, 25},   {0x53, 30},
        {0x63, 50},   {0x72, 60},   {0x82, 100},   {0x92, 500},  {0xA1, 1000}, {0xB0, 2000},
        {0xC0, 3750}, {0xD0, 7500}, {0xE0, 15000}, {0xF0, 30000}};
    const double gains[] = {1, 2, 4, 8, 16, 32, 64, 64};
    TZ410Dlg panel;
    for (int pga = 0; pga < 8; ++pga) {
        for (const auto &[drate, rate] : rates) {
            panel.m_current.assign(vxc5480::kRegisterCount, 0);
            panel.m_current[vxc5480::kAdcon] = static_cast<uint8_t>(0x20 | pga);
            panel.m_current[vxc5480::kDrate] = drate;
            // The sinc filter alone needs four conversions at 1000 SPS and above; below, one.
            const Expected expected{gains[pga], rate, rate >= 1000 ? 4 : 1, true, ""};
            check(
                panel, panel.m_current, 0, expected,
                QStringLiteral("PGA code %1, DRATE 0x%2").arg(pga).arg(drate, 2, 16).toStdString());
        }
    }
}

TEST_F(ConversionFactsTable, Vxc5420EveryGainRateAndMode) {
    // A fixed mode converts with its own gain and rate whatever CR1 holds; "Command Mode" and
    // an unknown mode read CR1, and only the former knows it is right.
    struct Mode {
        int mode;
        double gain; // 0: CR1's
        double rate;
        const char *text;
    };
    const Mode modes[] = {{1, 128, 10, "1: PGA 128 / 10 SPS"},
                          {2, 1, 40, "2: PGA 1 / 40 SPS (DVDD-AVDD)"},
                          {3, 128, 40, "3: PGA 128 / 40 SPS"},
                          {4, 0, 0, "4: Command Mode"},
                          {vxc5420::kModeUnknown, 0, 0, "mode unknown: gain and rate from CR1"}};
    TZ420Dlg panel;
    for (int pga = 0; pga < 8; ++pga) {
        for (int rateCode = 0; rateCode < 8; ++rateCode) {
            for (const Mode &m : modes) {
                panel.m_current.assign(vxc5420::kRegisterCount, 0);
                panel.m_current[vxc5420::kCr1] = static_cast<uint8_t>(pga << 4 | rateCode);
                panel.m_appliedMode = m.mode;
                const Expected expected{m.gain > 0 ? m.gain : std::ldexp(1.0, pga),
                                        m.gain > 0 ? m.rate : 10 * std::ldexp(1.0, rateCode), 4,
                                        m.mode != vxc5420::kModeUnknown, m.text};
                check(panel, panel.m_current, m.mode, expected,
                      QStringLiteral("PGA code %1, rate code %2, mode %3")
                          .arg(pga)
                          .arg(rateCode)
                          .arg(m.mode)
                          .toStdString());
            }
        }
    }
}

// Volts per code worked out by hand: span (4 x VRef on the VXC5480, 2 x VRef on the VXC5420)
// over the gain and 2^24 codes.
TEST(ConversionFacts, VoltsPerCodeByHand) {
    std::vector<uint8_t> eight(vxc5480::kRegisterCount, 0);
    eight[vxc5480::kDrate] = 0xF0;
    eight[vxc5480::kAdcon] = 0x00;                                                  // PGA 1
    EXPECT_DOUBLE_EQ(vxc5480::Facts(eight).voltsPerCode, 5.9604644775390625e-07);   // 10 V
    eight[vxc5480::kAdcon] = 0x06;                                                  // PGA 64
    EXPECT_DOUBLE_EQ(vxc5480::Facts(eight, 2.048).voltsPerCode, 7.62939453125e-09); // 0.128 V
    std::vector<uint8_t> two(vxc5420::kRegisterCount, 0);
    EXPECT_DOUBLE_EQ(vxc5420::Facts(two, 1).voltsPerCode, 2.3283064365386963e-09); // 39 mV
    EXPECT_DOUBLE_EQ(vxc5420::Facts(two, 2, 5.0).voltsPerCode, 5.9604644775390625e-07);
    two[vxc5420::kCr1] = 0x30; // PGA 8 in "Command Mode"
    EXPECT_DOUBLE_EQ(vxc5420::Facts(two, 4).voltsPerCode, 3.7252902984619141e-08); // 0.625 V
}
