#include "no_board.h"

#include "link/board_link.h"
#include "link/port_problem.h"
#include "link/protocol.h"
#include "link/result_codes.h"

namespace cli {

NoBoardReason WhyNoBoard(const QString &path, const ChipSupport &expected) {
    NoBoardReason reason;
    reason.text = PortOpenProblem(path);
    if (!reason.text.isEmpty())
        return reason;
    // One probe with the other chip's id tells a board of the other chip from no board.
    for (const ChipSupport &other : ChipTable()) {
        if (other.chipId == expected.chipId)
            continue;
        const std::unique_ptr<BoardLink> link = BoardLink::open(path);
        if (!link)
            continue;
        const int result = ProbeChip(*link, other.chipId);
        if (result == result::kOk) {
            reason.text = QStringLiteral("The board there answers for %1, not %2")
                              .arg(QLatin1String(other.name), QLatin1String(expected.name));
            reason.other = &other;
        } else if (result == result::kTimeout) {
            reason.text = QStringLiteral("No board answers there");
        }
        break;
    }
    return reason;
}

} // namespace cli
