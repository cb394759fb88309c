#pragma once
// A chart colour's swatch: the colour inside a one-pixel border, and a click (or Space, for
// keyboard users) that asks for a new one.

#include <QColor>
#include <QFrame>

class ColorSwatch : public QFrame {
    Q_OBJECT
  public:
    explicit ColorSwatch(QWidget *parent = nullptr);

    // PaintSwatch: shows the colour at once.
    void setColor(const QColor &color);
    QColor color() const { return m_color; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    QColor m_color;
};
