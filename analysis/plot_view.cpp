#include "analysis/plot_view.h"

#include "analysis/axis_range.h"
#include "analysis/envelope.h"
#include "analysis/note_label.h"
#include "analysis/plot_keys.h"

#include <QChart>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

PlotView::PlotView(const QString &name, QWidget *parent)
    : QChartView(new QChart, parent), m_axisX(new QValueAxis(this)), m_axisY(new QValueAxis(this)),
      m_trace(new QLineSeries(this)), m_readout(new QLabel) {
    setAccessibleName(name);
    setToolTip(tr("Drag a rectangle or turn the wheel to zoom; Shift+drag or the middle button "
                  "to pan; double-click or Home to see everything"));
    // The view takes the focus and the keys; its drawing surface is not a control of its own.
    viewport()->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);
    setRubberBand(QChartView::RectangleRubberBand);
    setMouseTracking(true);
    setMinimumSize(320, 180);
    chart()->legend()->hide();
    chart()->setMargins(QMargins(4, 4, 4, 4));
    chart()->addAxis(m_axisX, Qt::AlignBottom);
    chart()->addAxis(m_axisY, Qt::AlignLeft);
    m_trace->setPointsVisible(false);
    addOverlay(m_trace);
    connect(m_axisX, &QValueAxis::rangeChanged, this, [this] { refillTrace(); });
    for (QValueAxis *axis : {m_axisX, m_axisY}) {
        // Qt lays the ticks out inside setRange, with the interval the axis has then: it must
        // never be 0, nor fine for a wide range (see setAxisRange).
        axis->setTickInterval(0.2);
        axis->setTickType(QValueAxis::TicksDynamic);
        connect(axis, &QValueAxis::rangeChanged, this, [this, axis] { placeTicks(axis); });
    }
    ShowNote(m_readout, QString(), name + tr(" readout"));
    m_readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void PlotView::addOverlay(QLineSeries *series) {
    chart()->addSeries(series);
    series->attachAxis(m_axisX);
    series->attachAxis(m_axisY);
}

void PlotView::setTrace(std::vector<double> y, double x0, double dx) {
    m_y = std::move(y);
    m_x0 = x0;
    m_dx = dx;
    if (m_y.empty())
        m_trace->clear();
    refillTrace();
}

void PlotView::refillTrace() {
    // Without a trace of its own the series holds whatever its owner put there.
    if (m_y.empty())
        return;
    const double last = static_cast<double>(m_y.size() - 1);
    const double from = std::clamp(std::floor((m_axisX->min() - m_x0) / m_dx) - 1, 0.0, last);
    const double to = std::clamp(std::ceil((m_axisX->max() - m_x0) / m_dx) + 1, 0.0, last);
    // Two points per pixel column keep every spike and cost no more than the plot is wide.
    const size_t buckets = static_cast<size_t>(std::max(64, width()));
    const std::vector<analysis::TracePoint> points = analysis::MinMaxEnvelope(
        m_y, m_x0, m_dx, static_cast<size_t>(from), static_cast<size_t>(to) + 1, buckets);
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const analysis::TracePoint &p : points)
        list.append(QPointF(p.x, p.y));
    m_trace->replace(list);
}

void PlotView::setRanges(double xMin, double xMax, double yMin, double yMax) {
    if (!(xMax > xMin))
        xMax = xMin + 1;
    if (!(yMax > yMin)) {
        yMin -= 0.5;
        yMax += 0.5;
    }
    m_full = QRectF(QPointF(xMin, yMin), QPointF(xMax, yMax));
    resetZoom();
}

void PlotView::resetZoom() {
    // Round ends read better than the data's own along y, and the zoom stays within them;
    // along x the data's ends are the view. The ends are rounded to half a tick step or
    // finer, so the data keeps most of the height.
    const analysis::AxisRange y{m_full.top(), m_full.bottom()};
    const double step = analysis::NiceTickStep(y, 2 * maxTicks(m_axisY, y));
    m_limitsY = step > 0 ? analysis::AxisRange{std::floor(y.min / step + 1e-9) * step,
                                               std::ceil(y.max / step - 1e-9) * step}
                         : y;
    showRanges(limitsX(), m_limitsY);
}

int PlotView::maxTicks(const QValueAxis *axis, const analysis::AxisRange &range) const {
    // Before the first layout the plot area is empty: the view's own size stands in for it.
    const QRectF area = chart()->plotArea();
    const bool across = axis == m_axisX;
    const double room = across ? (area.width() > 0 ? area.width() : width() * 0.8)
                               : (area.height() > 0 ? area.height() : height() * 0.8);
    const QFontMetrics metrics(axis->labelsFont());
    // Up the y axis a label needs its own line and a line and a half of air.
    constexpr double kLinesPerTick = 2.5;
    if (!across)
        return std::max(2, int(room / (metrics.height() * kLinesPerTick)));
    // Along x every label needs its width and a gap: the widest of the range's ends, with the
    // decimals of a step a tenth of the range (no finer one can be chosen for this room).
    const int decimals = analysis::TickDecimals(analysis::NiceTickStep({0, range.span()}, 11));
    const int widest =
        std::max(metrics.horizontalAdvance(QString::number(range.min, 'f', decimals)),
                 metrics.horizontalAdvance(QString::number(range.max, 'f', decimals)));
    return std::max(2, int(room / (widest + metrics.horizontalAdvance(QStringLiteral("000")))));
}

double PlotView::tickStep(const QValueAxis *axis, const analysis::AxisRange &range) const {
    return analysis::NiceTickStep(range, maxTicks(axis, range));
}

void PlotView::placeTicks(QValueAxis *axis) {
    const analysis::AxisRange range{axis->min(), axis->max()};
    const double step = tickStep(axis, range);
    if (!(step > 0))
        return;
    axis->setTickInterval(step);
    axis->setTickAnchor(analysis::FirstTick(range, step));
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(analysis::TickDecimals(step)));
}

void PlotView::setAxisRange(QValueAxis *axis, const analysis::AxisRange &range) {
    // Between the two calls the axis holds either the old range with the new interval or the
    // new range with the old one, and Qt makes an item per tick at once: take the fewer.
    const double oldStep = axis->tickInterval();
    const double newStep = tickStep(axis, range);
    const double oldSpan = axis->max() - axis->min();
    if (newStep > 0 && oldSpan / newStep < range.span() / oldStep)
        axis->setTickInterval(newStep);
    axis->setRange(range.min, range.max);
    placeTicks(axis);
}

QPointF PlotView::valueAt(QPointF viewPosition) const {
    return chart()->mapToValue(chart()->mapFromScene(mapToScene(viewPosition.toPoint())));
}

void PlotView::showRanges(const analysis::AxisRange &x, const analysis::AxisRange &y) {
    setAxisRange(m_axisX, x);
    setAxisRange(m_axisY, y);
}

analysis::AxisRange PlotView::viewX() const {
    return {m_axisX->min(), m_axisX->max()};
}

analysis::AxisRange PlotView::viewY() const {
    return {m_axisY->min(), m_axisY->max()};
}

analysis::AxisRange PlotView::limitsX() const {
    return {m_full.left(), m_full.right()};
}

void PlotView::zoomAround(QPointF at, double factor) {
    showRanges(analysis::ZoomAbout(viewX(), at.x(), factor, limitsX()),
               analysis::ZoomAbout(viewY(), at.y(), factor, m_limitsY));
}

void PlotView::panBy(double dx, double dy) {
    showRanges(analysis::PanWithin(viewX(), dx, limitsX()),
               analysis::PanWithin(viewY(), dy, m_limitsY));
}

// Pixels of the plot area as values along each axis.
QPointF PlotView::valuesPerPixel() const {
    const QRectF area = chart()->plotArea();
    if (area.width() <= 0 || area.height() <= 0)
        return {};
    return {viewX().span() / area.width(), viewY().span() / area.height()};
}

void PlotView::mouseMoveEvent(QMouseEvent *event) {
    if (m_panning) {
        const QPoint delta = event->pos() - m_panFrom;
        m_panFrom = event->pos();
        const QPointF scale = valuesPerPixel();
        panBy(-delta.x() * scale.x(), delta.y() * scale.y());
        event->accept();
        return;
    }
    if (m_readoutText &&
        chart()->plotArea().contains(chart()->mapFromScene(mapToScene(event->pos()))))
        ShowNote(m_readout, m_readoutText(valueAt(event->position())),
                 accessibleName() + tr(" readout"));
    QChartView::mouseMoveEvent(event);
}

void PlotView::mousePressEvent(QMouseEvent *event) {
    const bool pan =
        event->button() == Qt::MiddleButton ||
        (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    if (pan) {
        m_panning = true;
        m_panFrom = event->pos();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void PlotView::mouseReleaseEvent(QMouseEvent *event) {
    if (m_panning) {
        m_panning = false;
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void PlotView::mouseDoubleClickEvent(QMouseEvent *event) {
    resetZoom();
    event->accept();
}

void PlotView::wheelEvent(QWheelEvent *event) {
    const double steps = event->angleDelta().y() / 120.0;
    // The value under the pointer keeps its place; the view stays within the data.
    if (steps != 0)
        zoomAround(valueAt(event->position()), std::pow(1.25, steps));
    event->accept();
}

void PlotView::keyPressEvent(QKeyEvent *event) {
    const QPointF centre((m_axisX->min() + m_axisX->max()) / 2,
                         (m_axisY->min() + m_axisY->max()) / 2);
    const bool moved = analysis::MoveForKey(
        event->key(),
        {[this](double across, double up) { panBy(across * viewX().span(), up * viewY().span()); },
         [this, centre](double factor) { zoomAround(centre, factor); }, [this] { resetZoom(); }});
    if (!moved) {
        QChartView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PlotView::resizeEvent(QResizeEvent *event) {
    QChartView::resizeEvent(event);
    refillTrace();
    // The room for labels changed: as many round ticks as now fit.
    placeTicks(m_axisX);
    placeTicks(m_axisY);
}
