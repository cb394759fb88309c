// Drawing, scrolling, the graph type and the colours.

#include "acquisition_controller.h"

#include "chart_area.h"
#include "color_swatch.h"
#include "distribution.h"
#include "distribution_chart.h"
#include "line_chart.h"
#include "samples.h"

#include <QComboBox>
#include <QScrollBar>

bool AcquisitionController::lineChartSelected() const {
    return !m_graphType || m_graphType->currentIndex() == 0;
}

void AcquisitionController::DrawLineChart(int start) {
    m_view = View::Line;
    m_viewStart = start;
    if (!m_chartArea)
        return;
    m_chartArea->showPicture(::DrawLineChart(m_chartArea->size(), g_samples, start, m_chartState,
                                             m_colors, m_lineChartFont));
}

void AcquisitionController::DrawDistribution() {
    m_view = View::Distribution;
    g_distribution = ComputeDistribution(g_samples);
    if (!m_chartArea)
        return;
    m_chartArea->showPicture(::DrawDistribution(m_chartArea->size(), !g_samples.empty(),
                                                g_distribution, m_chartState, m_colors,
                                                m_distributionFont));
}

void AcquisitionController::RedrawChart() {
    if (lineChartSelected())
        DrawLineChart(0);
    else
        DrawDistribution();
}

void AcquisitionController::redrawCurrentView() {
    // The view stays where the user left it; only its picture is made anew.
    if (m_view == View::Line)
        DrawLineChart(m_viewStart);
    else
        DrawDistribution();
}

void AcquisitionController::OnGraphTypeChange() {
    if (lineChartSelected()) {
        DrawLineChart(0);
        if (m_scrollBar)
            m_scrollBar->show();
    } else {
        DrawDistribution();
        if (m_scrollBar)
            m_scrollBar->hide();
    }
}

void AcquisitionController::OnHScroll(ScrollCode code) {
    if (!lineChartSelected() || !m_scrollBar)
        return;
    ScrollModel model = m_scroll;
    model.position = m_scrollBar->value();
    model.track = m_scrollBar->sliderPosition();
    const int32_t target = ScrollTarget(code, model);
    // The bar holds its thumb inside its range; the chart goes where the rule says.
    m_scrollBar->setSliderPosition(HeldPosition(target, model));
    if (target >= 0)
        DrawLineChart(target);
}

void AcquisitionController::chooseColor(QColor &member, int swatchId) {
    QColor chosen = member;
    if (!m_hooks.chooseColor || !m_hooks.chooseColor(m_window, chosen))
        return;
    member = chosen;
    if (ColorSwatch *s = swatch(swatchId))
        s->setColor(chosen);
    redrawCurrentView();
}

void AcquisitionController::OnScaleColor() {
    chooseColor(m_colors.m_scaleColor, mainwindow::kScaleColor);
}
void AcquisitionController::OnGridColor() {
    chooseColor(m_colors.m_gridColor, mainwindow::kGridColor);
}
void AcquisitionController::OnDataColor() {
    chooseColor(m_colors.m_dataColor, mainwindow::kDataColor);
}
void AcquisitionController::OnBackgroundColor() {
    chooseColor(m_colors.m_backgroundColor, mainwindow::kBackgroundColor);
}
