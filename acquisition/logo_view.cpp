#include "logo_view.h"

#include <QPainter>

// Outside any namespace: the resource's initialiser has to be reachable from a static library.
static void initAcquisitionResources() {
    Q_INIT_RESOURCE(acquisition);
}

QImage LoadLogo() {
    initAcquisitionResources();
    return QImage(QStringLiteral(":/acquisition/logo.png"));
}

LogoView::LogoView(QWidget *parent) : QWidget(parent) {}

void LogoView::setLogo(const QImage &logo) {
    m_logo = logo;
    update();
}

QRect LogoView::LogoRect(QSize logoSize) {
    return QRect(0, 5, static_cast<int>(logoSize.width() / 1.8),
                 static_cast<int>(logoSize.height() / 1.8));
}

void LogoView::paintEvent(QPaintEvent *) {
    if (m_logo.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(LogoRect(m_logo.size()), m_logo);
}
