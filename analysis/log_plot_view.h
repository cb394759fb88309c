#pragma once
// A plot on logarithmic axes (noise density, Allan deviation): zooms by a dragged rectangle,
// the wheel (about the pointer), + and -, pans with the arrow keys, the wheel and keys always
// within the data's decades, resets by a double-click or Home, and reads out the point under
// the mouse. Values at or below zero have no place on it and are left out by whoever fills it.

#include "analysis/axis_range.h"

#include <QChartView>
#include <QPen>
#include <QString>

#include <functional>

class QLabel;
class QLineSeries;
class QLogValueAxis;
class QScatterSeries;

class LogPlotView : public QChartView {
    Q_OBJECT
  public:
    using Readout = std::function<QString(QPointF)>;

    explicit LogPlotView(const QString &name, QWidget *parent = nullptr);

    QLogValueAxis *axisX() const { return m_axisX; }
    QLogValueAxis *axisY() const { return m_axisY; }
    QLabel *readoutLabel() const { return m_readout; }
    void setReadout(Readout readout) { m_readoutText = std::move(readout); }

    // Removes every series.
    void clear();
    QLineSeries *addLine(const QPen &pen);
    QScatterSeries *addPoints(const QColor &colour, double size);
    // The full ranges (whole decades around them), the ones Home returns to.
    void setRanges(double xMin, double xMax, double yMin, double yMax);
    void resetZoom();
    // Zooms by factor (above 1 closer) about a point in plot values, which keeps its place,
    // within the full ranges; zoom and pan work in decades.
    void zoomAround(QPointF at, double factor);
    // Moves the view by this many decades, within the full ranges.
    void panByDecades(double dx, double dy);

  protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    void attach(QAbstractSeries *series);
    // Ranges in decades (log10 of the values).
    analysis::AxisRange viewDecades(const QLogValueAxis *axis) const;
    analysis::AxisRange fullDecades(const QLogValueAxis *axis) const;
    void showDecades(const analysis::AxisRange &x, const analysis::AxisRange &y);
    // A label every so many decades, as many as the axes have room for (DecadesPerLabel).
    void fitLabels();

    QLogValueAxis *m_axisX;
    QLogValueAxis *m_axisY;
    QLabel *m_readout;
    Readout m_readoutText;
    QRectF m_full;
};
