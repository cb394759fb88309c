#include "analysis/note_label.h"

#include <QLabel>
#include <QString>

void ShowNote(QLabel *label, const QString &text, const QString &caption) {
    label->setText(text);
    if (caption.isEmpty() || text.isEmpty())
        label->setAccessibleName(text.isEmpty() ? caption : text);
    else
        label->setAccessibleName(caption + QStringLiteral(": ") + text);
}

void ShowNote(QLabel *label, const QString &text) {
    ShowNote(label, text, QString());
}
