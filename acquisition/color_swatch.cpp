#include "color_swatch.h"

#include <QMouseEvent>
#include <QPainter>

ColorSwatch::ColorSwatch(QWidget *parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setCursor(Qt::PointingHandCursor);
    setMinimumSize(12, 8);
}

void ColorSwatch::setColor(const QColor &color) {
    m_color = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent *event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(1, 1, width() - 2, height() - 2, m_color);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}
