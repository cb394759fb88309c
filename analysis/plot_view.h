#pragma once
// One plot of the analysis window: a chart view that zooms (drag a rectangle, wheel about the
// pointer, + and -), pans (middle button or Shift+drag, arrow keys), always within the data,
// resets (double-click, Home), reads out the value under the mouse, ticks its axes at round
// values that fit, and redraws a long trace thinned to the visible range.

#include "analysis/axis_range.h"

#include <QChartView>
#include <QString>

#include <functional>
#include <span>
#include <vector>

class QLabel;
class QLineSeries;
class QValueAxis;

class PlotView : public QChartView {
    Q_OBJECT
  public:
    // The readout names the value under the mouse at a point in plot coordinates.
    using Readout = std::function<QString(QPointF)>;

    PlotView(const QString &name, QWidget *parent = nullptr);

    QValueAxis *axisX() const { return m_axisX; }
    QValueAxis *axisY() const { return m_axisY; }
    QLabel *readoutLabel() const { return m_readout; }
    void setReadout(Readout readout) { m_readoutText = std::move(readout); }

    // The main trace: y[i] at x0 + i * dx, drawn as the min/max envelope of what is visible.
    QLineSeries *trace() const { return m_trace; }
    void setTrace(std::vector<double> y, double x0, double dx);
    // A series drawn over the trace on the same axes.
    void addOverlay(QLineSeries *series);
    // Sets the full ranges, the ones Home and a double-click return to.
    void setRanges(double xMin, double xMax, double yMin, double yMax);
    void resetZoom();
    // Zooms by factor (above 1 closer) about a point in plot values, which keeps its place;
    // the view stays within the data (along y within the round ends of the full view).
    void zoomAround(QPointF at, double factor);
    // Moves the view by this much in plot values, within the data.
    void panBy(double dx, double dy);
    // The plot values under a point of the view.
    QPointF valueAt(QPointF viewPosition) const;

  protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    void refillTrace();
    // Round ticks, as many as the axis has room for, with the decimals their step needs.
    void placeTicks(QValueAxis *axis);
    int maxTicks(const QValueAxis *axis, const analysis::AxisRange &range) const;
    double tickStep(const QValueAxis *axis, const analysis::AxisRange &range) const;
    void setAxisRange(QValueAxis *axis, const analysis::AxisRange &range);
    void showRanges(const analysis::AxisRange &x, const analysis::AxisRange &y);
    analysis::AxisRange viewX() const;
    analysis::AxisRange viewY() const;
    analysis::AxisRange limitsX() const;
    QPointF valuesPerPixel() const;

    QValueAxis *m_axisX;
    QValueAxis *m_axisY;
    QLineSeries *m_trace;
    QLabel *m_readout;
    Readout m_readoutText;
    std::vector<double> m_y;
    double m_x0 = 0.0;
    double m_dx = 1.0;
    QRectF m_full;
    analysis::AxisRange m_limitsY{0, 1}; // the full y range widened to round ends
    QPoint m_panFrom;
    bool m_panning = false;
};
