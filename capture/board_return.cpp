#include "board_return.h"

#include "capture/duration_text.h"
#include "link/board_link.h"
#include "link/chip_catalog.h"
#include "link/protocol.h"
#include "link/result_codes.h"
#include "link/serial_transport.h"

#include <QFileInfo>
#include <QSerialPort>

#include <thread>

namespace capture {

namespace {
using namespace std::chrono_literals;
constexpr auto kLookEvery = 1000ms;
constexpr auto kStopCheckEvery = 50ms;

// The port the board is at now: path, or where its identity points when path is gone or holds
// another board. Empty when it is nowhere yet.
QString whereIsBoard(const QString &path, const QString &identity) {
    if (BoardIdentityOf(path) == identity)
        return path;
    // A stable identity (a by-id link, a serial number) is looked for among the system's ports.
    if (identity == path)
        return QString();
    for (const QString &candidate : PortCandidates({{}, true})) {
        if (BoardIdentityOf(candidate) == identity)
            return candidate;
    }
    return QString();
}

// The chip that answers there instead of the link's, or an empty string.
QString otherChipThere(BoardLink &link) {
    const int expected = link.chipId();
    for (const ChipCatalogEntry *entry = g_chipCatalog; entry->valid == 1; ++entry) {
        if (entry->chipId != expected && ProbeChip(link, entry->chipId) == result::kOk)
            return QLatin1String(entry->name);
    }
    return QString();
}

// One look; true when the wait ends (back, or a reason to give up in outcome).
bool lookOnce(BoardLink &link, const QString &path, const QString &identity,
              const RestoreBoard &restore, int &otherBoardLooks, BoardReturn &outcome) {
    const QString at = whereIsBoard(path, identity);
    // Another board under the lost one's name, and the lost one nowhere: never taken for it.
    // Three looks in a row: a device node may come a moment before its by-id link.
    otherBoardLooks = at.isEmpty() && QFileInfo::exists(path) ? otherBoardLooks + 1 : 0;
    if (otherBoardLooks >= 3) {
        outcome.reason =
            QStringLiteral("another board (%1) is at %2 now").arg(BoardIdentityOf(path), path);
        return true;
    }
    if (at.isEmpty() || !link.reopen(at))
        return false;
    if (Handshake(link) != result::kOk) {
        if (const QString other = otherChipThere(link); !other.isEmpty()) {
            outcome.reason = QStringLiteral("a %1 answers at %2 now, not the %3 the capture had")
                                 .arg(other, at, link.chipName());
            return true;
        }
        link.close(); // nothing answers yet
        return false;
    }
    if (restore) {
        const BoardRestored restored = restore(link);
        if (!restored.ok) {
            outcome.reason = QStringLiteral("the board came back, but %1").arg(restored.reason);
            return true;
        }
        outcome.settles = restored.settles;
    }
    outcome.back = true;
    return true;
}
} // namespace

QString LossCause(int linkResult) {
    if (linkResult == result::kTimeout)
        return QStringLiteral("the board stopped answering");
    if (linkResult >= result::kPortErrorBase) {
        const auto error =
            static_cast<QSerialPort::SerialPortError>(linkResult - result::kPortErrorBase);
        // A USB bridge that goes away: a hang-up, or a read that fails at the device.
        if (error == QSerialPort::ResourceError)
            return QStringLiteral("the line hung up");
        if (error == QSerialPort::ReadError)
            return QStringLiteral("a read failed at the device");
        return QStringLiteral("the port failed (error %1)").arg(static_cast<int>(error));
    }
    return QStringLiteral("the link failed (result code %1)").arg(linkResult);
}

BoardReturn WaitForBoard(BoardLink &link, const QString &path, const QString &identity,
                         std::chrono::milliseconds patience, const std::function<bool()> &stop,
                         const RestoreBoard &restore) {
    link.close();
    BoardReturn outcome;
    const auto until = std::chrono::steady_clock::now() + patience;
    int otherBoardLooks = 0;
    for (;;) {
        const auto lookedAt = std::chrono::steady_clock::now();
        if (lookOnce(link, path, identity, restore, otherBoardLooks, outcome))
            return outcome;
        while (std::chrono::steady_clock::now() - lookedAt < kLookEvery) {
            if (stop && stop()) {
                outcome.stopped = true;
                return outcome;
            }
            if (std::chrono::steady_clock::now() >= until) {
                outcome.reason =
                    QStringLiteral("the board did not come back within %1")
                        .arg(FormatDuration(std::chrono::duration<double>(patience).count()));
                return outcome;
            }
            std::this_thread::sleep_for(kStopCheckEvery);
        }
    }
}

} // namespace capture
