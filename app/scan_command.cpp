#include "scan_command.h"

#include "analysis_menu.h"
#include "pellorin_dlg.h"
#include "scan/scan_dlg.h"
#include "stream_guard.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

QAction *AddInputScanEntry(QMenuBar *bar, const std::function<void()> &openInputScan) {
    QMenu *analysis = AnalysisMenuOf(bar);
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
        hooks.board = [this] { return currentBoard(); };
        hooks.panelFacts = [this]() -> std::optional<ScanPanelFacts> {
            if (!m_pPanel || !m_pPanel->InputMux())
                return std::nullopt;
            return ScanPanelFacts{m_pPanel->InputMux(), PanelFacts(m_pPanel.data())};
        };
        hooks.refreshPanel = [this] {
            // The chip's true state, MUX put back or not, without losing unwritten choices
            // when it is what the panel knew.
            return m_pPanel && m_pPanel->RereadChip().choicesDropped;
        };
        hooks.boardHolder = [this] { return boardHolder(); };
        m_scan = new CScanDlg(hooks, this);
        // The scan ends after the input in flight and puts MUX back.
        m_streams->add({[this] { return m_scan->running(); },
                        {},
                        [] { return QStringLiteral("An input scan is running. Stop it?"); },
                        QStringLiteral("Input Scan"),
                        [this](const QString &) { m_scan->RequestStop(); }});
        connect(m_scan, &CScanDlg::finished, m_streams, &StreamGuard::streamEnded);
        connect(m_scan, &CScanDlg::started, this, &CPellorinDlg::showBoardHolder);
        connect(m_scan, &CScanDlg::finished, this, &CPellorinDlg::showBoardHolder);
    }
    m_scan->show();
    m_scan->raise();
    m_scan->activateWindow();
}
