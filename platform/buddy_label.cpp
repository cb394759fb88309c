#include "buddy_label.h"

#include <QLabel>

namespace platform {

QLabel *BuddyLabel(const QString &caption, QWidget *field, QWidget *parent) {
    auto *label = new QLabel(caption, parent);
    label->setBuddy(field);
    field->setAccessibleName(QString(caption).remove(u'&'));
    return label;
}

} // namespace platform
