#include "working_indicator.h"

#include <QPainter>

WorkingIndicator::WorkingIndicator(QWidget *parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    setPalette(black);
    m_color = palette().color(QPalette::Button);
}

void WorkingIndicator::paintEvent(QPaintEvent *event) {
    {
        QPainter painter(this);
        // The 1-pixel border stays as the frame draws it.
        painter.fillRect(rect().adjusted(1, 1, -1, -1), m_color);
    }
    QFrame::paintEvent(event);
}
