#pragma once
// The facts a capture records, from what the chip's core makes of its registers (through the
// chip's panel, or the command line's chip table), and the names the files and the command
// line's JSON give them.

#include "capture_settings.h"

#include <QDateTime>

#include <variant>
#include <vector>

namespace capture {

CaptureFacts MakeFacts(const QString &chipName, const std::vector<uint8_t> &registers,
                       const conversion::ConversionFacts &conversion, const QDateTime &start);

// One recorded fact: a number or a text.
struct RecordedFact {
    const char *name;
    std::variant<double, QString> value;
};

// The conversion facts as the HDF5 attributes, the CSV "# name: value" lines and the command
// line's JSON record them: reference_volts, reference_source ("given" or "default"), mode (a
// chip with modes only), then pga_gain, data_rate_sps and volts_per_code. Where the mode was
// not known those three are guesses from the registers and say so in their names:
// pga_gain_from_registers, data_rate_sps_from_registers, volts_per_code_from_registers.
std::vector<RecordedFact> ConversionRecord(const conversion::ConversionFacts &conversion);

// Every name ConversionRecord may give (the "_from_registers" ones too), each with the kind of
// its value (a number or a text): what a reader of the files looks for.
std::vector<RecordedFact> RecordedFactNames();

// The other way: one recorded fact into conversion facts, by its name (a "_from_registers"
// name marks the mode not known); text is taken by the names of texts, number by the others.
// False for a name ConversionRecord does not give.
bool TakeRecordedFact(conversion::ConversionFacts &conversion, const QString &name,
                      const QString &text, double number);

// The program's version, a.b.c.d.
QString ProgramVersion();

} // namespace capture
