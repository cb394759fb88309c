#include "color_swatch.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

ColorSwatch::ColorSwatch(QWidget *parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setCursor(Qt::PointingHandCursor);
    setMinimumSize(12, 8);
    setFocusPolicy(Qt::StrongFocus);
}

void ColorSwatch::setColor(const QColor &color) {
    m_color = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent *event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(1, 1, width() - 2, height() - 2, m_color);
    if (hasFocus()) {
        // A dotted ring in the colour's opposite, visible on any swatch colour.
        painter.setPen(
            QPen(QColor(255 - m_color.red(), 255 - m_color.green(), 255 - m_color.blue()), 1,
                 Qt::DotLine));
        painter.drawRect(2, 2, width() - 5, height() - 5);
    }
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}

void ColorSwatch::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        emit clicked();
        return;
    }
    QFrame::keyPressEvent(event);
}
