#include "analysis/doubtful_mark.h"

#include <QPalette>
#include <QString>
#include <QWidget>

QColor DoubtfulColour() {
    return QColor(0xB0, 0x00, 0x00);
}

void MarkDoubtful(QWidget *field, bool doubtful, const QString &description) {
    QPalette palette = field->palette();
    const QWidget *parent = field->parentWidget();
    palette.setColor(QPalette::Text, doubtful ? DoubtfulColour()
                                     : parent ? parent->palette().color(QPalette::Text)
                                              : QPalette().color(QPalette::Text));
    field->setPalette(palette);
    field->setAccessibleDescription(doubtful ? description : QString());
}
