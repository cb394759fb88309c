#pragma once
// One plot of the analysis window: a chart view that zooms (drag a rectangle, wheel, + and -),
// pans (middle button or Shift+drag, arrow keys), resets (double-click, Home), reads out the
// value under the mouse, and redraws a long trace thinned to the visible range.

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
    void zoomAround(QPointF centre, double factor);

    QValueAxis *m_axisX;
    QValueAxis *m_axisY;
    QLineSeries *m_trace;
    QLabel *m_readout;
    Readout m_readoutText;
    std::vector<double> m_y;
    double m_x0 = 0.0;
    double m_dx = 1.0;
    QRectF m_full;
    QPoint m_panFrom;
    bool m_panning = false;
};
