#include "analysis/plot_view.h"

#include "analysis/envelope.h"
#include "analysis/note_label.h"

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
        connect(axis, &QValueAxis::rangeChanged, axis, [axis](qreal min, qreal max) {
            // As many decimals as the ticks need: whole codes and hertz, fractions when zoomed.
            const double span = max - min;
            axis->setLabelFormat(span >= 50    ? QStringLiteral("%.0f")
                                 : span >= 0.5 ? QStringLiteral("%.2f")
                                               : QStringLiteral("%.4g"));
        });
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
    chart()->zoomReset();
    m_axisX->setRange(m_full.left(), m_full.right());
    m_axisY->setRange(m_full.top(), m_full.bottom());
    // Round ticks read better than the data's own ends; along x the data's ends are the view.
    m_axisY->applyNiceNumbers();
}

void PlotView::zoomAround(QPointF centre, double factor) {
    const QRectF area = chart()->plotArea();
    QRectF r(0, 0, area.width() / factor, area.height() / factor);
    r.moveCenter(centre);
    chart()->zoomIn(r);
}

void PlotView::mouseMoveEvent(QMouseEvent *event) {
    if (m_panning) {
        const QPoint delta = event->pos() - m_panFrom;
        m_panFrom = event->pos();
        chart()->scroll(-delta.x(), delta.y());
        event->accept();
        return;
    }
    if (m_readoutText && chart()->plotArea().contains(event->position()))
        ShowNote(m_readout, m_readoutText(chart()->mapToValue(event->position())),
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
    if (steps != 0)
        zoomAround(event->position(), std::pow(1.25, steps));
    event->accept();
}

void PlotView::keyPressEvent(QKeyEvent *event) {
    const QRectF area = chart()->plotArea();
    switch (event->key()) {
    case Qt::Key_Left:
        chart()->scroll(-area.width() / 10, 0);
        break;
    case Qt::Key_Right:
        chart()->scroll(area.width() / 10, 0);
        break;
    case Qt::Key_Up:
        chart()->scroll(0, area.height() / 10);
        break;
    case Qt::Key_Down:
        chart()->scroll(0, -area.height() / 10);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomAround(area.center(), 1.25);
        break;
    case Qt::Key_Minus:
        zoomAround(area.center(), 0.8);
        break;
    case Qt::Key_Home:
        resetZoom();
        break;
    default:
        QChartView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PlotView::resizeEvent(QResizeEvent *event) {
    QChartView::resizeEvent(event);
    refillTrace();
}
