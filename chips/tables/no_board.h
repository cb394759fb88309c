#pragma once
// Why a port the user named gave no board of the chip expected: it could not be opened, no
// board answers there, or the board there carries another chip. No widgets.

#include "chip_table.h"

#include <QString>

namespace cli {

struct NoBoardReason {
    QString text;                       // empty when nothing more can be said
    const ChipSupport *other = nullptr; // the chip the board there answers for, if another
};

// Costs an open and, for a port that opens, one probe with each other chip's id; leaves the
// port closed.
NoBoardReason WhyNoBoard(const QString &path, const ChipSupport &expected);

} // namespace cli
