#pragma once
// Volts as a person reads them: scaled to nV, µV, mV or V so that three significant digits
// show ("19.1 nV", "7.33 µV", "-2.50 V"), one rule for every window that shows a voltage as
// text. Files keep their own numbers; only shown texts go through here. No Qt.

#include <string>
#include <string_view>

namespace analysis {

// A unit of volts: its symbol and how many of it make one volt.
struct VoltUnit {
    const char *symbol; // "nV", "µV" (UTF-8), "mV" or "V"
    double perVolt;     // 1e9, 1e6, 1e3 or 1
};

// The unit in which this magnitude (volts, any sign) reads between 1 and 1000, the value
// rounded to three significant digits first, so 999.96 µV is 1.00 mV. nV below 1 nV, V above
// 1000 V; V for 0 and for what is not a number.
VoltUnit VoltUnitFor(double volts);

// "19.1 nV", "7.33 µV", "-2.50 V", "0 V"; per follows the unit ("/h" gives "12.3 µV/h",
// "/\u221AHz" a noise density). "-" for what is not a finite number.
std::string FormatVolts(double volts, std::string_view per = {});

// A value and its spread in one unit (the larger's): the spread with two significant digits
// and the value to the same decimal place, "140 \u00B1 22 µV/h", "500 \u00B1 20 nV". A spread
// of 0 (or not finite) shows the value alone, as FormatVolts does.
std::string FormatVoltsWithSpread(double volts, double spread, std::string_view per = {});

} // namespace analysis
