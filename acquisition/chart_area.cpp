#include "chart_area.h"

#include <QPainter>
#include <QResizeEvent>

ChartArea::ChartArea(QWidget *parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Chart"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(515, 331);
}

void ChartArea::showPicture(const QImage &picture) {
    m_picture = picture;
    update();
}

void ChartArea::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (m_picture.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawImage(0, 0, m_picture);
}

void ChartArea::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    emit resized(event->size());
}
