#include "detection.h"

#include "cli/no_board.h"
#include "link/protocol.h"
#include "link/result_codes.h"
#include "link/serial_transport.h"

namespace pellorin_py {

std::vector<DetectedBoard> Detect(const QStringList &ports, bool scanSystem, Interrupt &interrupt) {
    SetPreferredPorts(ports);
    SetSystemPortsScanned(scanSystem);
    const QStringList candidates = PortCandidates();
    SetPreferredPorts({});
    SetSystemPortsScanned(true);
    std::vector<DetectedBoard> found;
    for (const QString &path : candidates) {
        if (interrupt.check())
            break;
        if (!OpenPortAt(path))
            continue;
        for (const cli::ChipSupport &chip : cli::ChipTable()) {
            const int result = ProbeChip(chip.chipId);
            if (result == result::kOk) {
                found.push_back({path, QLatin1String(chip.name)});
                break;
            }
            if (result != result::kBadReply)
                break; // no board answers there at all
        }
        ClosePort();
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
