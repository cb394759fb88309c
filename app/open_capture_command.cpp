#include "open_capture_command.h"

#include "capture/run_analysis_dlg.h"
#include "pellorin_dlg.h"
#include "platform/file_dialogs.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>

QAction *AddOpenCaptureEntry(QMenuBar *bar, const std::function<void()> &openCapture) {
    QMenu *analysis = nullptr;
    for (QAction *entry : bar->actions()) {
        if (entry->menu() && entry->text() == QLatin1String("&Analysis"))
            analysis = entry->menu();
    }
    if (!analysis)
        analysis = bar->addMenu(QStringLiteral("&Analysis"));
    QAction *action = analysis->addAction(QStringLiteral("Open Capture..."));
    QObject::connect(action, &QAction::triggered, analysis, openCapture);
    return action;
}

void CPellorinDlg::OnOpenCapture() {
    const QString path = platform::ChooseFile(
        {this,
         QDir::homePath(),
         {QStringLiteral("Capture files(*.h5 *.hdf5 *.csv)"), QStringLiteral("All Format(*.*)")},
         QString(),
         false});
    if (path.isEmpty())
        return;
    if (!m_runAnalysis)
        m_runAnalysis = new CRunAnalysisDlg(this);
    m_runAnalysis->show();
    m_runAnalysis->raise();
    m_runAnalysis->activateWindow();
    m_runAnalysis->OpenFiles({path});
}
