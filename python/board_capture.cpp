// The continuous capture and the input scan: the engines the window and pellorin-cli run, on
// the calling thread, with Ctrl-C as their stop.

#include "board.h"

#include "capture/capture_facts.h"
#include "capture/file_names.h"
#include "chips/tables/chip_restore.h"
#include "scan/scan_report.h"

#include <QDateTime>

namespace pellorin_py {

capture::CaptureResult Board::capture(const capture::CaptureSettings &settings,
                                      Interrupt &interrupt, QString &filePath,
                                      const std::function<capture::RunClock()> &startTogether) {
    // Before the board is touched: every file the run may write (with a split, the numbered
    // files of the name already there too) stays as it is unless force.
    const bool split = settings.splitMs > 0;
    if (const platform::FileError refused =
            capture::CheckCapturePaths(settings.path, split, settings.force);
        refused.failed())
        throw File(refused.path, refused.reason);
    begin(interrupt);
    refreshImage(interrupt, false);
    const capture::CaptureFacts fileFacts = capture::MakeFacts(
        QLatin1String(m_chip->name), m_image, facts(), QDateTime::currentDateTime());

    capture::CaptureHooks hooks;
    // Ctrl-C is looked for between reads too (on the engine's event cadence), not only after
    // an item: a slow data rate leaves long gaps.
    hooks.pumpEvents = [&interrupt] { interrupt.check(); };
    hooks.stopRequested = [&interrupt] { return interrupt.check(); };
    // After Ctrl-C the file is closed already; the rest of the block is owed to the link, not
    // waited for.
    hooks.abortDrain = [&interrupt] { return interrupt.caught(); };
    // A board that comes back after a loss gets the registers read now, and the mode set
    // through this Board, again.
    hooks.restoreBoard = [chip = m_chip, registers = m_image, mode = m_mode](BoardLink &link) {
        const cli::ChipRestore restored = cli::RestoreChip(link, *chip, registers, mode);
        return capture::BoardRestored{restored.ok, restored.wroteBack, restored.reason};
    };
    capture::CaptureSettings run = settings;
    if (startTogether)
        run.clock = startTogether();
    capture::CaptureEngine engine(*m_session, run, fileFacts, hooks);
    interrupt.messages().clear();
    const capture::CaptureResult result = engine.run();
    const capture::CaptureProgress ended = engine.snapshot();
    filePath = ended.filePath;
    // The engine tells nothing itself: its fault becomes the exception, after the file closed.
    const QString fault = capture::FaultMessage(result);
    switch (result.status) {
    case capture::CaptureStatus::Ok:
        break;
    case capture::CaptureStatus::Exchange:
        throw Exchange(fault, result.linkResult);
    case capture::CaptureStatus::ItemChecksum:
        // The samples before it are in the file.
        throw Checksum(fault, ended.samplesReceived, {});
    case capture::CaptureStatus::File:
        throw File(result.fileError.path, result.fileError.reason);
    case capture::CaptureStatus::Busy:
        throw State(QStringLiteral("another board operation is running"));
    }
    return result;
}

scan::ScanOutcome Board::scan(scan::ScanSettings settings, std::optional<int> discard,
                              Interrupt &interrupt, conversion::ConversionFacts &scanFacts) {
    if (!m_chip->mux)
        throw Value(QStringLiteral("this build has no input multiplexer for %1")
                        .arg(QLatin1String(m_chip->name)));
    begin(interrupt);
    // As pellorin-cli: the registers read first give the facts the volts and, where no
    // discard is given, the conversions the chip still settles after each switch.
    refreshImage(interrupt, false);
    scanFacts = facts();
    settings.discard = discard.value_or(scan::DefaultDiscard(scanFacts));
    if (const QString wrong = scan::CheckScanSettings(settings); !wrong.isEmpty())
        throw Value(wrong);
    scan::ScanHooks hooks;
    // Between acquisitions, as the window's Stop: the acquisition in flight is taken whole,
    // then MUX is put back.
    hooks.stopRequested = [&interrupt] { return interrupt.check(); };
    const scan::ScanOutcome outcome = scan::RunScan(*m_session, settings, *m_chip->mux, hooks);
    const QString told = interrupt.messages().text();
    if (outcome.boardAnswered)
        refreshImage(interrupt, false);
    switch (outcome.fault) {
    case scan::ScanFault::None:
        break;
    case scan::ScanFault::Busy:
        throw State(QStringLiteral("another board operation is running"));
    case scan::ScanFault::ItemChecksum:
        throw Checksum(told, -1, {});
    default:
        throw Exchange(told, outcome.result);
    }
    if (outcome.putBack == scan::MuxPutBack::Failed)
        throw Exchange(scan::PutBackText(outcome), outcome.putBackResult);
    return outcome;
}

} // namespace pellorin_py
