#include "open_capture_command.h"

#include "analysis_menu.h"

#include "capture/run_analysis_dlg.h"
#include "pellorin_dlg.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

QAction *AddOpenCaptureEntry(QMenuBar *bar, const std::function<void()> &openCapture) {
    QMenu *analysis = AnalysisMenuOf(bar);
    QAction *action = analysis->addAction(QStringLiteral("&Open Capture..."));
    QObject::connect(action, &QAction::triggered, analysis, openCapture);
    return action;
}

void CPellorinDlg::OnOpenCapture() {
    const QString path = capture::ChooseCaptureFile(this);
    if (path.isEmpty())
        return;
    if (!m_runAnalysis)
        m_runAnalysis = new CRunAnalysisDlg(this);
    m_runAnalysis->show();
    m_runAnalysis->raise();
    m_runAnalysis->activateWindow();
    m_runAnalysis->OpenFiles({path});
}
