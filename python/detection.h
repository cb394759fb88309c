#pragma once
// Which boards answer on which ports, and why a named port gave none: pellorin.detect() and the
// search of pellorin.open().

#include "board_call.h"

#include "chips/tables/chip_table.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace pellorin_py {

struct DetectedBoard {
    QString port;
    QString chip;
};

// Each candidate port (those given, then the system's serial devices when scanSystem) is
// opened and asked the handshake's first command for each chip of the table, in order; a port
// whose board does not answer at all is not asked again. Every port is closed after.
std::vector<DetectedBoard> Detect(const QStringList &ports, bool scanSystem, Interrupt &interrupt);

// The first line (the program's own message, or fallback), then "PATH: reason" for each port
// named: why it gave no board of chip (of any chip when chip is null).
QString NoBoardText(const QStringList &ports, const QString &first, const cli::ChipSupport *chip);

} // namespace pellorin_py
