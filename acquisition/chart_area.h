#pragma once
// The chart area: shows the last finished chart picture, so a repaint never draws half a chart
// and never moves the view.

#include <QImage>
#include <QWidget>

class ChartArea : public QWidget {
    Q_OBJECT
  public:
    explicit ChartArea(QWidget *parent = nullptr);

    void showPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }

  signals:
    // The drawing surface changed size; the owner draws a new picture for it.
    void resized(QSize size);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    QImage m_picture;
};
