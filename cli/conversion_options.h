#pragma once
// --reference V and --mode N, which capture, scan and acquire --stats take: the reference the
// volts are worked out with (the chip's default where none is given) and the mode a VXC5420
// converts in (set with "command set-mode" before; the registers do not show it). Both reach
// the chip's core through the chip table's facts function.

#include "chips/tables/chip_table.h"
#include "cli_options.h"

#include <QString>

#include <optional>
#include <vector>

class BoardLink;

namespace cli {

struct ConversionRequest {
    std::optional<double> referenceVolts; // --reference; the chip's default when not given
    int mode = 0;                         // --mode; 0 when not given
};

// The two options, for SplitArguments' value options.
QStringList ConversionOptionNames();

// Reads --reference and --mode for the chip; an empty string, or the usage error naming the
// option and what it takes (the chip's reference bounds; the modes of a chip with modes).
QString ReadConversionOptions(const CommandArguments &args, const ChipSupport &chip,
                              ConversionRequest &request);

// Reads every register of the chip, as the window does before an acquisition; an empty image
// when the read failed (its failure has been told), so no fact is taken from zeros.
std::vector<uint8_t> ReadChipImage(BoardLink &link, const ChipSupport &chip);

// The chip core's facts of the image at the request's reference and mode.
conversion::ConversionFacts FactsOf(const ChipSupport &chip, const ConversionRequest &request,
                                    const std::vector<uint8_t> &image);

// Why no volts are given though the scale is complete: the mode was not known. Empty
// otherwise. "VXC5420: mode unknown: gain and rate from CR1; no volts without --mode".
QString UnclaimedVoltsNote(const ChipSupport &chip, const conversion::ConversionFacts &facts);

} // namespace cli
