#include "analysis/log_plot_view.h"

#include "analysis/note_label.h"
#include "analysis/plot_keys.h"

#include <QChart>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <tuple>

LogPlotView::LogPlotView(const QString &name, QWidget *parent)
    : QChartView(new QChart, parent), m_axisX(new QLogValueAxis(this)),
      m_axisY(new QLogValueAxis(this)), m_readout(new QLabel) {
    setAccessibleName(name);
    setToolTip(tr("Drag a rectangle or turn the wheel to zoom; double-click or Home to see "
                  "everything"));
    viewport()->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);
    setRubberBand(QChartView::RectangleRubberBand);
    setMouseTracking(true);
    setMinimumSize(320, 200);
    chart()->legend()->hide();
    chart()->setMargins(QMargins(4, 4, 4, 4));
    for (QLogValueAxis *axis : {m_axisX, m_axisY}) {
        axis->setBase(10);
        axis->setLabelFormat(QStringLiteral("%g"));
        axis->setMinorTickCount(8);
        axis->setMinorGridLineColor(QColor(235, 235, 235));
    }
    chart()->addAxis(m_axisX, Qt::AlignBottom);
    chart()->addAxis(m_axisY, Qt::AlignLeft);
    for (QLogValueAxis *axis : {m_axisX, m_axisY})
        connect(axis, &QLogValueAxis::rangeChanged, this, [this] { fitLabels(); });
    ShowNote(m_readout, QString(), name + tr(" readout"));
    m_readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void LogPlotView::attach(QAbstractSeries *series) {
    chart()->addSeries(series);
    series->attachAxis(m_axisX);
    series->attachAxis(m_axisY);
}

void LogPlotView::clear() {
    chart()->removeAllSeries();
}

QLineSeries *LogPlotView::addLine(const QPen &pen) {
    auto *series = new QLineSeries(this);
    series->setPen(pen);
    attach(series);
    return series;
}

QScatterSeries *LogPlotView::addPoints(const QColor &colour, double size) {
    auto *series = new QScatterSeries(this);
    series->setColor(colour);
    series->setBorderColor(colour);
    series->setMarkerSize(size);
    attach(series);
    return series;
}

void LogPlotView::setRanges(double xMin, double xMax, double yMin, double yMax) {
    auto decades = [](double lo, double hi) {
        if (!(lo > 0) || !(hi > 0))
            return std::pair(1.0, 10.0);
        lo = std::pow(10.0, std::floor(std::log10(lo)));
        hi = std::pow(10.0, std::ceil(std::log10(hi)));
        return std::pair(lo, hi > lo ? hi : lo * 10);
    };
    const auto [x0, x1] = decades(xMin, xMax);
    const auto [y0, y1] = decades(yMin, yMax);
    m_full = QRectF(QPointF(x0, y0), QPointF(x1, y1));
    resetZoom();
}

void LogPlotView::resetZoom() {
    chart()->zoomReset();
    if (m_full.isNull())
        return;
    m_axisX->setRange(m_full.left(), m_full.right());
    m_axisY->setRange(m_full.top(), m_full.bottom());
}

void LogPlotView::mouseMoveEvent(QMouseEvent *event) {
    if (m_readoutText && chart()->plotArea().contains(event->position()))
        ShowNote(m_readout, m_readoutText(chart()->mapToValue(event->position())),
                 accessibleName() + tr(" readout"));
    QChartView::mouseMoveEvent(event);
}

void LogPlotView::mouseDoubleClickEvent(QMouseEvent *event) {
    resetZoom();
    event->accept();
}

analysis::AxisRange LogPlotView::viewDecades(const QLogValueAxis *axis) const {
    return {std::log10(axis->min()), std::log10(axis->max())};
}

analysis::AxisRange LogPlotView::fullDecades(const QLogValueAxis *axis) const {
    return axis == m_axisX
               ? analysis::AxisRange{std::log10(m_full.left()), std::log10(m_full.right())}
               : analysis::AxisRange{std::log10(m_full.top()), std::log10(m_full.bottom())};
}

void LogPlotView::showDecades(const analysis::AxisRange &x, const analysis::AxisRange &y) {
    m_axisX->setRange(std::pow(10.0, x.min), std::pow(10.0, x.max));
    m_axisY->setRange(std::pow(10.0, y.min), std::pow(10.0, y.max));
}

void LogPlotView::zoomAround(QPointF at, double factor) {
    if (m_full.isNull() || !(at.x() > 0) || !(at.y() > 0))
        return;
    showDecades(
        analysis::ZoomAbout(viewDecades(m_axisX), std::log10(at.x()), factor, fullDecades(m_axisX)),
        analysis::ZoomAbout(viewDecades(m_axisY), std::log10(at.y()), factor,
                            fullDecades(m_axisY)));
}

void LogPlotView::panByDecades(double dx, double dy) {
    if (m_full.isNull())
        return;
    showDecades(analysis::PanWithin(viewDecades(m_axisX), dx, fullDecades(m_axisX)),
                analysis::PanWithin(viewDecades(m_axisY), dy, fullDecades(m_axisY)));
}

void LogPlotView::fitLabels() {
    // The widest label "%g" writes ("0.0001", "1e-05") and a gap; the plot area's length less
    // the other axis's labels and the margins.
    const QFontMetrics metrics(m_axisX->labelsFont());
    const double across = metrics.horizontalAdvance(QStringLiteral("0.0001")) + 14;
    const double up = metrics.height() * 1.6;
    const double width = std::max(40, this->width() - 90);
    const double height = std::max(40, this->height() - 80);
    for (auto [axis, room, size] :
         {std::tuple(m_axisX, width, across), std::tuple(m_axisY, height, up)}) {
        const double decades = std::log10(axis->max() / axis->min());
        const int k = analysis::DecadesPerLabel(decades, room, size);
        const double base = std::pow(10.0, k);
        if (axis->base() != base) {
            axis->setBase(base);
            axis->setMinorTickCount(k == 1 ? 8 : k - 1);
        }
    }
}

void LogPlotView::resizeEvent(QResizeEvent *event) {
    QChartView::resizeEvent(event);
    fitLabels();
}

void LogPlotView::wheelEvent(QWheelEvent *event) {
    const double steps = event->angleDelta().y() / 120.0;
    // The value under the pointer keeps its place; the view stays within the data.
    if (steps != 0)
        zoomAround(chart()->mapToValue(event->position()), std::pow(1.25, steps));
    event->accept();
}

void LogPlotView::keyPressEvent(QKeyEvent *event) {
    const QPointF centre(std::sqrt(m_axisX->min() * m_axisX->max()),
                         std::sqrt(m_axisY->min() * m_axisY->max()));
    const bool moved = analysis::MoveForKey(
        event->key(),
        {[this](double across, double up) {
             panByDecades(across * viewDecades(m_axisX).span(), up * viewDecades(m_axisY).span());
         },
         [this, centre](double factor) { zoomAround(centre, factor); }, [this] { resetZoom(); }});
    if (!moved) {
        QChartView::keyPressEvent(event);
        return;
    }
    event->accept();
}
