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
    m_view.graph = ChartView::Graph::Line;
    m_view.firstSample = start;
    if (!m_chartArea)
        return;
    m_chartArea->showPicture(::DrawLineChart(m_chartArea->size(), g_samples, start, m_chartState,
                                             m_colors, m_lineChartFont));
}

void AcquisitionController::DrawDistribution() {
    m_view.graph = ChartView::Graph::Distribution;
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
    if (m_view.graph == ChartView::Graph::Line)
        DrawLineChart(m_view.firstSample);
    else
        DrawDistribution();
}

void AcquisitionController::OnGraphTypeChange() {
    if (lineChartSelected()) {
        // From where the thumb stands, the only sign of which samples are on show.
        DrawLineChart(m_view.scroll.position);
        if (m_scrollBar)
            m_scrollBar->show();
    } else {
        DrawDistribution();
        if (m_scrollBar)
            m_scrollBar->hide();
    }
}

void AcquisitionController::OnHScroll(ScrollCode code) {
    if (!m_scrollBar)
        return;
    if (!lineChartSelected()) {
        showThumb(); // the bar does not move on its own
        return;
    }
    const int32_t target = ApplyScroll(m_view, code, m_scrollBar->sliderPosition());
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
    if (m_scrollBar && (m_scrollBar->value() != held || m_scrollBar->sliderPosition() != held))
        m_scrollBar->setValue(held);
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
