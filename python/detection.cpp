#include "detection.h"

#include "chips/tables/no_board.h"
#include "link/chip_catalog.h"
#include "link/detection.h"

namespace pellorin_py {

std::vector<DetectedBoard> Detect(const QStringList &ports, bool scanSystem, Interrupt &interrupt) {
    std::vector<DetectedBoard> found;
    // Ports open through another Board of this process are passed over.
    for (const FoundBoard &board : FindBoards(PortCandidates({ports, scanSystem}),
                                              [&interrupt] { return interrupt.check(); })) {
        const ChipCatalogEntry *chip = FindChip(board.chipId);
        found.push_back({board.path, QLatin1String(chip ? chip->name : "")});
    }
    return found;
}

QString NoBoardText(const QStringList &ports, const QString &first, const cli::ChipSupport *chip) {
    QStringList lines{first};
    const cli::ChipSupport &expected = chip ? *chip : cli::ChipTable().front();
    for (const QString &path : ports) {
        const cli::NoBoardReason reason = cli::WhyNoBoard(path, expected);
        if (!reason.text.isEmpty())
            lines << QStringLiteral("%1: %2").arg(path, reason.text);
    }
    return lines.join(u'\n');
}

} // namespace pellorin_py
