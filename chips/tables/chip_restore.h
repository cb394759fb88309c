#pragma once
// A board that came back (its USB bridge reset) may carry a chip at its power-up defaults: its
// registers are brought back to those recorded when the run started, and the mode the
// registers do not hold is sent again. No widgets; the capture's reconnection calls it.

#include "chip_table.h"

#include <QString>

#include <cstdint>
#include <span>

class BoardLink;

namespace cli {

struct ChipRestore {
    bool ok = false;
    bool wroteBack = false; // registers (or the mode) were sent: the chip settles again
    QString reason;         // why not ok
};

// Reads the chip's registers; where their writable bits differ from recorded, writes recorded
// back and reads them again. mode (0: not known) is sent after the registers whenever the chip
// has modes. Not ok when a read or write fails or the registers do not take the values.
ChipRestore RestoreChip(BoardLink &link, const ChipSupport &chip, std::span<const uint8_t> recorded,
                        int mode);

} // namespace cli
