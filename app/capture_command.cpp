#include "capture_command.h"

#include "acquisition/data_files.h"
#include "analysis_menu.h"
#include "capture/capture_dlg.h"
#include "capture/capture_facts.h"
#include "chips/tables/chip_restore.h"
#include "pellorin_dlg.h"
#include "platform/file_dialogs.h"
#include "stream_guard.h"

#include <QDateTime>

namespace {
// The chip as recorded at the start, brought back on a board that returned after a loss: its
// registers, and the mode the facts name ("4: Command Mode") on a chip with modes.
capture::RestoreBoard restoreFor(const capture::CaptureFacts &facts) {
    const cli::ChipSupport *chip = cli::FindChipSupport(facts.chipName);
    if (!chip)
        return {};
    const int mode = facts.conversion.modeKnown
                         ? QString::fromStdString(facts.conversion.mode).section(u':', 0, 0).toInt()
                         : 0;
    return [chip, registers = facts.registers, mode](BoardLink &link) {
        const cli::ChipRestore restored = cli::RestoreChip(link, *chip, registers, mode);
        return capture::BoardRestored{restored.ok, restored.wroteBack, restored.reason};
    };
}

QString chooseCapturePath(QWidget *owner, const QString &proposed, capture::FileFormat format) {
    const bool hdf5 = format == capture::FileFormat::Hdf5;
    return platform::ChooseSaveFile(
        owner, proposed,
        {hdf5 ? QStringLiteral("HDF5 file(*.h5)") : QStringLiteral("CSV file(*.csv)"),
         QStringLiteral("All Format(*.*)")},
        hdf5 ? QStringLiteral("h5") : QStringLiteral("csv"));
}
} // namespace

bool CPellorinDlg::captureRunning() const {
    return m_capture && m_capture->running();
}

void CPellorinDlg::OnContinuousCapture() {
    if (!m_capture) {
        CaptureWindowHooks hooks;
        hooks.board = [this] { return currentBoard(); };
        hooks.factsFromPanel =
            [this](std::optional<double> referenceVolts) -> std::optional<capture::CaptureFacts> {
            if (!m_pPanel)
                return std::nullopt;
            // The file records the chip as it is: the panel re-reads it, keeping its unwritten
            // choices while the chip is as it knew it; a failed read is told and ignored.
            m_pPanel->RereadChip();
            if (!m_pPanel)
                return std::nullopt;
            return capture::MakeFacts(m_pPanel->ChipName(), m_pPanel->CurrentRegisters(),
                                      m_pPanel->CurrentFacts(referenceVolts),
                                      QDateTime::currentDateTime());
        };
        hooks.referenceRange = [this]() -> std::optional<conversion::ReferenceRange> {
            if (!m_pPanel)
                return std::nullopt;
            return PanelFacts(m_pPanel.data()).referenceRange;
        };
        hooks.choosePath = chooseCapturePath;
        hooks.restoreFor = restoreFor;
        hooks.proposedFolder = [] { return g_saveFolder; };
        m_capture = new CCaptureDlg(hooks, this);
        m_streams->add({[this] { return m_capture->running(); },
                        [this] { return m_capture->stopping(); },
                        [this] {
                            return QStringLiteral("A capture is writing %1. Stop it?")
                                .arg(m_capture->filePath());
                        },
                        QStringLiteral("Continuous Capture"),
                        [this](const QString &reason) { m_capture->StopFor(reason); }});
        connect(m_capture, &CCaptureDlg::finished, m_streams, &StreamGuard::streamEnded);
        connect(m_capture, &CCaptureDlg::started, this, &CPellorinDlg::showBoardHolder);
        connect(m_capture, &CCaptureDlg::finished, this, &CPellorinDlg::showBoardHolder);
        // The port label says when the board is lost, and is itself again when it is back.
        connect(m_capture, &CCaptureDlg::boardLost, this, [this](const QString &cause) {
            showPortLost(
                QStringLiteral("The board was lost (%1); the capture waits for it.").arg(cause));
        });
        connect(m_capture, &CCaptureDlg::boardBack, this, [this] { showPortLost(QString()); });
        connect(m_capture, &CCaptureDlg::finished, this, [this](const capture::CaptureResult &) {
            // A board that did not come back leaves its link closed.
            const BoardSession *board = currentBoard();
            showPortLost(
                board && !board->link().isOpen()
                    ? QStringLiteral("The board was lost; press \"Detect EVM\" when it is back.")
                    : QString());
        });
        m_capture->OnPanelChanged();
    }
    m_capture->show();
    m_capture->raise();
    m_capture->activateWindow();
}
