#include "no_board.h"

#include "link/port_problem.h"
#include "link/protocol.h"
#include "link/result_codes.h"
#include "link/serial_transport.h"

namespace cli {

NoBoardReason WhyNoBoard(const QString &path, const ChipSupport &expected) {
    NoBoardReason reason;
    reason.text = PortOpenProblem(path);
    if (!reason.text.isEmpty())
        return reason;
    // One probe with the other chip's id tells a board of the other chip from no board.
    for (const ChipSupport &other : ChipTable()) {
        if (other.chipId == expected.chipId || !OpenPortAt(path))
            continue;
        const int result = ProbeChip(other.chipId);
        ClosePort();
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
