#pragma once
// The caption of a field: a label whose access letter moves the focus to the field, and the
// field named by the caption, so that a screen reader says what the field is.

#include <QString>

class QLabel;
class QWidget;

namespace platform {

// caption with its "&" access letter; the field's accessible name is the caption without it.
QLabel *BuddyLabel(const QString &caption, QWidget *field, QWidget *parent);

} // namespace platform
