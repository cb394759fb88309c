#include "scan_report.h"

#include "chips/common/hex_text.h"

namespace scan {
namespace {
QString inputsText(qsizetype count) {
    return count == 1 ? QStringLiteral("1 input") : QStringLiteral("%1 inputs").arg(count);
}

QString failedText(ScanFault fault) {
    switch (fault) {
    case ScanFault::MuxWrite:
        return QStringLiteral("the MUX register could not be written");
    case ScanFault::Items:
        return QStringLiteral("the samples did not arrive");
    case ScanFault::ItemChecksum:
        return QStringLiteral("a sample's checksum was wrong");
    default:
        return QString();
    }
}
} // namespace

QString ScanProgressText(const ScanProgress &progress) {
    QString text = QStringLiteral("input %1 of %2").arg(progress.input + 1).arg(progress.inputs);
    if (progress.repeats > 1)
        text += QStringLiteral(", repeat %1 of %2").arg(progress.repeat + 1).arg(progress.repeats);
    return text;
}

QString PutBackText(const ScanOutcome &outcome) {
    const QString before = QStringLiteral("0x") + panel_common::HexByteText(outcome.muxBefore);
    switch (outcome.putBack) {
    case MuxPutBack::Done:
        return QStringLiteral("MUX put back to %1.").arg(before);
    case MuxPutBack::Failed:
        return QStringLiteral("MUX could not be put back to %1: the chip may still be on a "
                              "scanned input.")
            .arg(before);
    case MuxPutBack::NotNeeded:
        if (outcome.muxWritten)
            return QStringLiteral("MUX is on %1, as before the scan.").arg(before);
        break;
    }
    return QString();
}

QString ScanOutcomeText(const ScanOutcome &outcome) {
    int measured = 0;
    for (const ScanRow &row : outcome.rows)
        measured += row.repeats.empty() ? 0 : 1;
    QString text;
    switch (outcome.fault) {
    case ScanFault::Busy:
        return QStringLiteral("Not started: an acquisition, a register transfer or a "
                              "calibration is running.");
    case ScanFault::MuxRead:
        return QStringLiteral("Not started: the MUX register could not be read.");
    case ScanFault::None:
        text = outcome.stopped ? QStringLiteral("Scan stopped; %1 of %2 measured.")
                                     .arg(measured)
                                     .arg(inputsText(qsizetype(outcome.rows.size())))
                               : QStringLiteral("Scan finished: %1.")
                                     .arg(inputsText(qsizetype(outcome.rows.size())));
        break;
    default:
        text = QStringLiteral("Scan failed at %1: %2. The rows measured before stay.")
                   .arg(ScanProgressText(outcome.faultAt), failedText(outcome.fault));
        break;
    }
    const QString putBack = PutBackText(outcome);
    return putBack.isEmpty() ? text : text + u' ' + putBack;
}

} // namespace scan
