#include "capture_command.h"

#include "acquisition/data_files.h"
#include "analysis_menu.h"
#include "capture/capture_dlg.h"
#include "capture/capture_facts.h"
#include "pellorin_dlg.h"
#include "platform/file_dialogs.h"
#include "platform/question.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QTimer>

namespace {
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
        hooks.factsFromPanel =
            [this](std::optional<double> referenceVolts) -> std::optional<capture::CaptureFacts> {
            if (!m_pPanel)
                return std::nullopt;
            // As before an acquisition: the panel re-reads the chip; its result is ignored.
            m_pPanel->RefreshFromChip();
            if (!m_pPanel)
                return std::nullopt;
            return capture::MakeFacts(m_pPanel->ChipName(), m_pPanel->CurrentRegisters(),
                                      m_pPanel->CurrentFacts(referenceVolts),
                                      QDateTime::currentDateTime());
        };
        hooks.referenceRange = [this]() -> std::optional<analysis::ReferenceRange> {
            if (!m_pPanel)
                return std::nullopt;
            return PanelFacts(m_pPanel.data()).referenceRange;
        };
        hooks.choosePath = chooseCapturePath;
        hooks.proposedFolder = [] { return g_saveFolder; };
        m_capture = new CCaptureDlg(hooks, this);
        connect(m_capture, &CCaptureDlg::finished, this, &CPellorinDlg::onCaptureFinished);
        m_capture->OnPanelChanged();
    }
    m_capture->show();
    m_capture->raise();
    m_capture->activateWindow();
}

void CPellorinDlg::onCaptureFinished() {
    // Runs inside the capture's Start handler: what waited runs once that has unwound.
    if (m_detectAfterCapture) {
        m_detectAfterCapture = false;
        QTimer::singleShot(0, this, &CPellorinDlg::OnDetectEvm);
    }
    if (m_closeAfterCapture) {
        m_closeAfterCapture = false;
        QTimer::singleShot(0, this, &CPellorinDlg::close);
    }
}

bool CPellorinDlg::closeWaitsForCapture(QCloseEvent *event) {
    if (!captureRunning())
        return false;
    event->ignore();
    if (m_closeAfterCapture)
        return true;
    if (platform::AskYesNo(this,
                           tr("A continuous capture is running. Stop it and close? The file "
                              "keeps every sample written so far."),
                           tr("Continuous Capture"))) {
        m_closeAfterCapture = true;
        m_capture->StopFor(QStringLiteral("user"));
    }
    return true;
}
