#pragma once
// The "Working" lamp of the calibration page: a black frame filled with one colour. It keeps
// its colour, so a repaint by the system shows the same lamp.

#include <QColor>
#include <QFrame>

class WorkingIndicator : public QFrame {
    Q_OBJECT
  public:
    explicit WorkingIndicator(QWidget *parent = nullptr);

    void setColor(const QColor &color) { m_color = color; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QColor m_color;
};
