#pragma once
// The capture's live strip chart: above, the whole run as a min/max envelope per pixel column;
// below, the last samples at full resolution. Draws from a RunEnvelope, so it costs the same
// after hours as after seconds.

#include "run_envelope.h"

#include <QWidget>

class CaptureStripChart : public QWidget {
    Q_OBJECT
  public:
    explicit CaptureStripChart(QWidget *parent = nullptr);

    // Takes the envelope's present state and repaints.
    void showRun(const capture::RunEnvelope &envelope);
    // The picture as painted, for a size (tests and the window's paint alike).
    QImage render(QSize size) const;

    QSize sizeHint() const override { return {720, 300}; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    std::vector<capture::EnvelopeColumn> m_columns;
    uint64_t m_samples = 0;
    std::vector<int32_t> m_recent;
};
