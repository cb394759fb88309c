#pragma once
// The scan's bar plot: the standard deviation of each input, one bar per row of the table, in
// volts (nV, µV, mV or V, as the largest bar needs) when the scale is known and in codes
// otherwise. Its accessible description reads every bar's value, so a screen reader gets what
// the picture shows.

#include <QStringList>
#include <QWidget>

#include <vector>

class ScanBarPlot : public QWidget {
    Q_OBJECT
  public:
    explicit ScanBarPlot(QWidget *parent = nullptr);

    // One bar per label; a value below 0 is a bar not measured yet. unit names the values
    // ("\u00B5V" or "codes"); microvolts are drawn in the unit (nV to V) that the largest bar
    // reads in, which values() and unit() then give.
    void setBars(const QStringList &labels, const std::vector<double> &values, const QString &unit);
    const std::vector<double> &values() const { return m_values; }
    QString unit() const { return m_unit; }

    QSize sizeHint() const override { return {640, 240}; }
    QSize minimumSizeHint() const override { return {320, 160}; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QStringList m_labels;
    std::vector<double> m_values;
    QString m_unit;
};
