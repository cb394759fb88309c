#include "analysis/volts_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace analysis {
namespace {
constexpr VoltUnit kUnits[] = {{"nV", 1e9}, {"\u00B5V", 1e6}, {"mV", 1e3}, {"V", 1.0}};

// Rounds to this many significant digits (0 stays 0).
double roundSignificant(double value, int digits) {
    if (value == 0.0 || !std::isfinite(value))
        return value;
    const double scale = std::pow(10.0, digits - 1 - std::floor(std::log10(std::fabs(value))));
    return std::round(value * scale) / scale;
}

// Decimals that leave this many significant digits of a scaled magnitude; none for 0.
int decimalsFor(double scaled, int digits) {
    if (scaled == 0.0)
        return 0;
    const int whole = int(std::floor(std::log10(std::fabs(scaled)))) + 1;
    return std::clamp(digits - whole, 0, 12);
}

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    // "-0.00" says nothing that "0.00" does not.
    std::string s = text;
    if (s.starts_with('-') && s.find_first_not_of("0.", 1) == std::string::npos)
        s.erase(0, 1);
    return s;
}

std::string withUnit(const std::string &number, const VoltUnit &unit, std::string_view per) {
    std::string text = number;
    text += ' ';
    text += unit.symbol;
    text += per;
    return text;
}
} // namespace

VoltUnit VoltUnitFor(double volts) {
    const double magnitude = std::fabs(roundSignificant(volts, 3));
    if (magnitude == 0.0 || !std::isfinite(magnitude))
        return kUnits[3];
    for (const VoltUnit &unit : kUnits) {
        if (magnitude * unit.perVolt < 1000.0)
            return unit;
    }
    return kUnits[3];
}

std::string FormatVolts(double volts, std::string_view per) {
    if (!std::isfinite(volts))
        return "-";
    const VoltUnit unit = VoltUnitFor(volts);
    const double scaled = roundSignificant(volts, 3) * unit.perVolt;
    return withUnit(fixed(scaled, decimalsFor(scaled, 3)), unit, per);
}

std::string FormatVoltsWithSpread(double volts, double spread, std::string_view per) {
    if (!std::isfinite(volts))
        return "-";
    if (!(spread > 0.0) || !std::isfinite(spread))
        return FormatVolts(volts, per);
    const VoltUnit unit = VoltUnitFor(std::max(std::fabs(volts), spread));
    const double scaledSpread = roundSignificant(spread, 2) * unit.perVolt;
    const int decimals = decimalsFor(scaledSpread, 2);
    return withUnit(fixed(volts * unit.perVolt, decimals) + " \u00B1 " +
                        fixed(scaledSpread, decimals),
                    unit, per);
}

} // namespace analysis
