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
    return m_controls.graphType->currentIndex() == 0;
}

void AcquisitionController::DrawLineChart(int start) {
    m_view.graph = ChartView::Graph::Line;
    m_view.firstSample = start;
    ChartArea *chart = m_controls.chart;
    chart->showPicture(
        ::DrawLineChart(chart->size(), g_samples, start, m_chartState, m_colors, m_lineChartFont));
}

void AcquisitionController::DrawDistribution() {
    m_view.graph = ChartView::Graph::Distribution;
    g_distribution = ComputeDistribution(g_samples);
    ChartArea *chart = m_controls.chart;
    chart->showPicture(::DrawDistribution(chart->size(), !g_samples.empty(), g_distribution,
                                          m_chartState, m_colors, m_distributionFont));
}

void AcquisitionController::RedrawChart() {
    if (lineChartSelected())
        DrawLineChart(0);
    else
        DrawDistribution();
}

void AcquisitionController::redrawCurrentView() {
    // The view stays where the user left it; only its picture is made anew.
    if (m_view.graph == ChartView::Graph::Line)
        DrawLineChart(m_view.firstSample);
    else
        DrawDistribution();
}

void AcquisitionController::OnGraphTypeChange() {
    if (lineChartSelected()) {
        // From where the thumb stands, the only sign of which samples are on show.
        DrawLineChart(m_view.scroll.position);
        m_controls.scrollBar->show();
    } else {
        DrawDistribution();
        m_controls.scrollBar->hide();
    }
}

void AcquisitionController::OnHScroll(ScrollCode code) {
    if (!lineChartSelected()) {
        showThumb(); // the bar does not move on its own
        return;
    }
    const int32_t target = ApplyScroll(m_view, code, m_controls.scrollBar->sliderPosition());
    showThumb();
    if (target >= 0)
        DrawLineChart(target);
}

void AcquisitionController::onScrollValueChanged(int value) {
    // The bar showing the view's own thumb position is no news; any other value is a jump of
    // the thumb made without an action ("Scroll here").
    if (value != m_view.scroll.position)
        OnHScroll(ScrollCode::Track);
}

void AcquisitionController::showThumb() {
    // Within an action the bar already holds a position of its own making; ours replaces it.
    const int held = m_view.scroll.position;
    QScrollBar *bar = m_controls.scrollBar;
    if (bar->value() != held || bar->sliderPosition() != held)
        bar->setValue(held);
}

void AcquisitionController::chooseColor(QColor &member, ColorSwatch *swatch) {
    QColor chosen = member;
    if (!m_hooks.chooseColor || !m_hooks.chooseColor(m_window, chosen))
        return;
    member = chosen;
    swatch->setColor(chosen);
    redrawCurrentView();
}

void AcquisitionController::OnScaleColor() {
    chooseColor(m_colors.m_scaleColor, m_controls.scaleColor);
}
void AcquisitionController::OnGridColor() {
    chooseColor(m_colors.m_gridColor, m_controls.gridColor);
}
void AcquisitionController::OnDataColor() {
    chooseColor(m_colors.m_dataColor, m_controls.dataColor);
}
void AcquisitionController::OnBackgroundColor() {
    chooseColor(m_colors.m_backgroundColor, m_controls.backgroundColor);
}
