#include "tc_edit.h"

#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QValidator>

namespace {
// Shows letters in upper case whatever way the text arrives; it never refuses text.
class UpperCaseValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

// The character a key press types. With Control held a letter types its control code (as
// Ctrl+C types 0x03), whatever the platform puts in the event's text. Delete types nothing,
// though X11 and Wayland put DEL (0x7F) in its text: it edits, as arrows and Home do.
QString typedText(const QKeyEvent *event) {
    if (event->key() == Qt::Key_Delete)
        return QString();
    const bool control = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (control && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        return QString(QChar(char16_t(event->key() - Qt::Key_A + 1)));
    if (control && !event->text().isEmpty() && event->text().front().isPrint())
        return QString(QChar(char16_t(0x1B))); // any other control chord types no hex digit
    return event->text();
}

// Dragged or dropped data the edit takes: text every character of which could have been typed.
bool carriesHexText(const QMimeData *data) {
    return data->hasText() && CTCEdit::AcceptsText(data->text());
}
} // namespace

CTCEdit::CTCEdit(QWidget *parent, Mode mode) : QLineEdit(parent), m_mode(mode) {}

void CTCEdit::setUpperCase(bool upper) {
    m_upperCase = upper;
    setValidator(upper ? new UpperCaseValidator(this) : nullptr);
}

bool CTCEdit::AcceptsCharacter(char16_t code) {
    return (code >= u'0' && code <= u'9') || (code >= u'a' && code <= u'f') ||
           (code >= u'A' && code <= u'F') || code == 0x08;
}

bool CTCEdit::AcceptsText(const QString &text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        // Backspace is a key, not text: a dropped one would sit in the edit.
        if (c == QChar(0x08) || !AcceptsCharacter(c.unicode()))
            return false;
    }
    return true;
}

void CTCEdit::dragEnterEvent(QDragEnterEvent *event) {
    if (!carriesHexText(event->mimeData())) {
        event->ignore();
        return;
    }
    QLineEdit::dragEnterEvent(event);
}

void CTCEdit::dragMoveEvent(QDragMoveEvent *event) {
    if (!carriesHexText(event->mimeData())) {
        event->ignore();
        return;
    }
    QLineEdit::dragMoveEvent(event);
}

void CTCEdit::dropEvent(QDropEvent *event) {
    // A refused drop leaves the register's text as it was.
    if (!carriesHexText(event->mimeData())) {
        event->ignore();
        return;
    }
    QLineEdit::dropEvent(event);
}

void CTCEdit::keyPressEvent(QKeyEvent *event) {
    const QString text = typedText(event);
    for (const QChar c : text) {
        if (!AcceptsCharacter(c.unicode())) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void CTCEdit::inputMethodEvent(QInputMethodEvent *event) {
    for (const QChar c : event->commitString()) {
        if (!AcceptsCharacter(c.unicode())) {
            event->accept();
            return;
        }
    }
    QLineEdit::inputMethodEvent(event);
}
