#include "analysis_menu.h"

#include "acquisition/acquisition_controller.h"
#include "acquisition/samples.h"
#include "analysis/analysis_dlg.h"
#include "pellorin_dlg.h"

#include <QMenu>
#include <QMenuBar>

conversion::ConversionFacts PanelFacts(const CEVMDialog *panel) {
    return panel ? panel->CurrentFacts(std::nullopt) : conversion::ConversionFacts{};
}

QMenu *AnalysisMenuOf(QMenuBar *bar) {
    for (QAction *entry : bar->actions()) {
        if (entry->menu() && entry->text() == QLatin1String("&Analysis"))
            return entry->menu();
    }
    return bar->addMenu(QStringLiteral("&Analysis"));
}

QAction *AddAnalysisMenu(QMenuBar *bar, const std::function<void()> &openNoiseAndSpectrum,
                         const std::function<void()> &openContinuousCapture) {
    QMenu *menu = AnalysisMenuOf(bar);
    QAction *action = menu->addAction(QStringLiteral("&Noise and Spectrum..."));
    QObject::connect(action, &QAction::triggered, menu, openNoiseAndSpectrum);
    QAction *capture = menu->addAction(QStringLiteral("&Continuous Capture..."));
    capture->setEnabled(false);
    QObject::connect(capture, &QAction::triggered, menu, openContinuousCapture);
    return capture;
}

CAnalysisDlg *CPellorinDlg::analysisWindow() const {
    return m_analysis;
}

void CPellorinDlg::OnNoiseAndSpectrum() {
    if (!m_analysis) {
        m_analysis = new CAnalysisDlg(this);
        // The facts are taken when the samples arrive: the panel has just re-read the chip.
        const auto feed = [this](const std::vector<int32_t> &samples) {
            m_analysis->OnSamplesAcquired(samples, PanelFacts(m_pPanel.data()));
        };
        connect(m_acquisition, &AcquisitionController::samplesAcquired, m_analysis, feed);
        if (m_pPanel)
            m_analysis->OnReferenceRange(PanelFacts(m_pPanel.data()).referenceRange);
        if (!g_samples.empty())
            feed(g_samples);
    }
    m_analysis->show();
    m_analysis->raise();
    m_analysis->activateWindow();
}
