#include "scan_command.h"

#include "analysis_menu.h"
#include "pellorin_dlg.h"
#include "scan/scan_dlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

QAction *AddInputScanEntry(QMenuBar *bar, const std::function<void()> &openInputScan) {
    QMenu *analysis = nullptr;
    for (QAction *entry : bar->actions()) {
        if (entry->menu() && entry->text() == QLatin1String("&Analysis"))
            analysis = entry->menu();
    }
    if (!analysis)
        analysis = bar->addMenu(QStringLiteral("&Analysis"));
    QAction *action = analysis->addAction(QStringLiteral("&Input Scan..."));
    action->setEnabled(false);
    QObject::connect(action, &QAction::triggered, analysis, openInputScan);
    return action;
}

bool CPellorinDlg::scanRunning() const {
    return m_scan && m_scan->running();
}

void CPellorinDlg::OnInputScan() {
    if (!m_scan) {
        ScanWindowHooks hooks;
        hooks.panelFacts = [this]() -> std::optional<ScanPanelFacts> {
            if (!m_pPanel || !m_pPanel->InputMux())
                return std::nullopt;
            return ScanPanelFacts{m_pPanel->InputMux(), PanelFacts(m_pPanel.data())};
        };
        hooks.refreshPanel = [this] {
            // The chip's true state, MUX put back or not.
            if (m_pPanel)
                m_pPanel->RefreshFromChip();
        };
        m_scan = new CScanDlg(hooks, this);
        connect(m_scan, &CScanDlg::finished, this, &CPellorinDlg::onScanFinished);
    }
    m_scan->show();
    m_scan->raise();
    m_scan->activateWindow();
}

void CPellorinDlg::onScanFinished() {
    // Runs inside the scan's Run handler: what waited runs once that has unwound.
    if (m_detectAfterScan) {
        m_detectAfterScan = false;
        QTimer::singleShot(0, this, &CPellorinDlg::OnDetectEvm);
    }
    if (m_closeAfterScan) {
        m_closeAfterScan = false;
        QTimer::singleShot(0, this, &CPellorinDlg::close);
    }
}

bool CPellorinDlg::closeWaitsForScan(QCloseEvent *event) {
    if (!scanRunning())
        return false;
    // The scan stops after the input in flight and puts MUX back; the window closes then.
    event->ignore();
    m_closeAfterScan = true;
    m_scan->RequestStop();
    return true;
}
