#include "accessibility_walk.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRect>
#include <QTextDocumentFragment>
#include <QWidget>

namespace {
constexpr int kBesideGap = 60; // a label's control to its right starts within this many pixels
constexpr int kAboveGap = 16;  // a label's control below it starts within this many pixels

QString plain(QString text) {
    text.remove(u'&');
    return text.trimmed();
}

bool isControl(const QWidget *w) {
    return (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

// A button or box that carries its own caption names itself.
bool hasCaption(const QWidget *w) {
    const auto *button = qobject_cast<const QAbstractButton *>(w);
    return button && !plain(button->text()).isEmpty();
}

QRect rectIn(QWidget *root, QWidget *w) {
    return QRect(w->mapTo(root, QPoint(0, 0)), w->size());
}

QString describeWidget(QWidget *root, QWidget *w) {
    const QRect r = rectIn(root, w);
    return QStringLiteral("%1 \"%2\" at (%3, %4)")
        .arg(QLatin1String(w->metaObject()->className()), AccessibleNameOf(w))
        .arg(r.x())
        .arg(r.y());
}

// A label that shows a value ("Crystal", a level, the port found) rather than naming a control:
// it has a name of its own, or another label names it.
bool showsAValue(QLabel *label, const QList<QWidget *> &all) {
    if (!plain(label->accessibleName()).isEmpty())
        return true;
    for (QWidget *w : all) {
        auto *other = qobject_cast<QLabel *>(w);
        if (other && other->buddy() == label)
            return true;
    }
    return false;
}

// The text a widget shows of its own, as plain text; empty for one that shows none.
QString shownText(QWidget *w) {
    if (auto *label = qobject_cast<QLabel *>(w)) {
        const QString text = label->text();
        const bool rich = label->textFormat() == Qt::RichText ||
                          (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
        return rich ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
    }
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->echoMode() == QLineEdit::Normal ? edit->text() : QString();
    if (auto *list = qobject_cast<QComboBox *>(w))
        return list->currentText();
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        return button->text();
    if (auto *box = qobject_cast<QGroupBox *>(w))
        return box->title();
    return QString();
}

// Everything a screen reader can read of a widget: its name, its value and its text.
QString readableText(QWidget *w) {
    // A spin box's edit is no text field of its own to a screen reader: the spin box reads
    // out its value.
    if (qobject_cast<QAbstractSpinBox *>(w->parentWidget()))
        w = w->parentWidget();
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    if (!iface)
        return QString();
    QString readable = iface->text(QAccessible::Name) + u'\n' + iface->text(QAccessible::Value);
    if (QAccessibleTextInterface *text = iface->textInterface())
        readable += u'\n' + text->text(0, text->characterCount());
    return readable;
}

QString normalized(const QString &text) {
    return plain(text).simplified();
}

// Whether shown stands in readable as a whole: "L" is not read in "D3 Level".
bool readsAsAWhole(const QString &readable, const QString &shown) {
    const auto word = [](QChar c) { return c.isLetterOrNumber(); };
    for (qsizetype at = readable.indexOf(shown); at >= 0; at = readable.indexOf(shown, at + 1)) {
        const qsizetype end = at + shown.size();
        const bool startsClean = at == 0 || !word(shown.front()) || !word(readable.at(at - 1));
        const bool endsClean =
            end == readable.size() || !word(shown.back()) || !word(readable.at(end));
        if (startsClean && endsClean)
            return true;
    }
    return false;
}

// The widgets a label can name or stand beside: visible leaves and visible controls.
QList<QWidget *> placedWidgets(QWidget *root) {
    QList<QWidget *> placed;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (!w->isVisible() || w->isWindow())
            continue;
        bool hasVisibleChild = false;
        for (QObject *child : w->children()) {
            auto *cw = qobject_cast<QWidget *>(child);
            hasVisibleChild = hasVisibleChild || (cw && cw->isVisible() && !cw->isWindow());
        }
        if (!hasVisibleChild || isControl(w))
            placed << w;
    }
    return placed;
}

// The nearest placed widget right of the label on its row, and the nearest right below it.
QWidget *nearest(QWidget *root, QLabel *label, const QList<QWidget *> &placed, bool beside) {
    const QRect l = rectIn(root, label);
    QWidget *best = nullptr;
    int bestGap = beside ? kBesideGap + 1 : kAboveGap + 1;
    for (QWidget *w : placed) {
        // A label names controls of its own container, as a buddy must be its sibling.
        if (w == label || w->parentWidget() != label->parentWidget())
            continue;
        const QRect r = rectIn(root, w);
        int gap = 0;
        if (beside) {
            const bool sameRow = r.top() <= l.center().y() && l.center().y() <= r.bottom();
            gap = r.left() - (l.right() + 1);
            if (!sameRow || gap < -2)
                continue;
        } else {
            const bool overlaps = r.left() <= l.right() && l.left() <= r.right();
            gap = r.top() - (l.bottom() + 1);
            if (!overlaps || gap < -2)
                continue;
        }
        if (gap < bestGap) {
            bestGap = gap;
            best = w;
        }
    }
    return best;
}
} // namespace

QString AccessibleNameOf(QWidget *control) {
    if (!plain(control->accessibleName()).isEmpty())
        return plain(control->accessibleName());
    if (hasCaption(control))
        return plain(qobject_cast<QAbstractButton *>(control)->text());
    // What a screen reader is told through "labelled-by": the labels that have it as buddy.
    if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control)) {
        for (const auto &[other, relation] : iface->relations(QAccessible::Label)) {
            const QString text = plain(other->text(QAccessible::Name));
            if (!text.isEmpty())
                return text;
        }
    }
    return QString();
}

AccessibilityReport WalkAccessibility(QWidget *root) {
    AccessibilityReport report;
    const QList<QWidget *> all = root->findChildren<QWidget *>();
    for (QWidget *w : all + QList<QWidget *>{root}) {
        if (w->isVisible() && plain(w->accessibleName()) == QLatin1String("Chart"))
            ++report.namedChart;
    }
    for (QWidget *w : all) {
        if (!w->isVisible() || w->isWindow() || !isControl(w))
            continue;
        ++report.checked;
        if (AccessibleNameOf(w).isEmpty())
            report.violations << QStringLiteral("no accessible name: ") + describeWidget(root, w);
    }
    for (QWidget *w : all) {
        if (!w->isVisible() || w->isWindow())
            continue;
        const QString shown = normalized(shownText(w));
        if (shown.isEmpty())
            continue;
        ++report.textsChecked;
        if (!readsAsAWhole(normalized(readableText(w)), shown))
            report.violations << QStringLiteral("shown text \"%1\" cannot be read: %2")
                                     .arg(shown, describeWidget(root, w));
    }
    const QList<QWidget *> placed = placedWidgets(root);
    for (QWidget *w : all) {
        auto *label = qobject_cast<QLabel *>(w);
        if (!label || !label->isVisible() || plain(label->text()).isEmpty())
            continue;
        ++report.labelsChecked;
        if (label->buddy() || showsAValue(label, all))
            continue;
        const QString text = plain(label->text());
        for (bool beside : {true, false}) {
            QWidget *named = nearest(root, label, placed, beside);
            if (!named || !isControl(named) || hasCaption(named))
                continue;
            if (AccessibleNameOf(named).contains(text))
                continue; // a row or column heading, carried in the control's name
            report.violations << QStringLiteral("label \"%1\" names %2 but is not its buddy")
                                     .arg(text, describeWidget(root, named));
        }
    }
    return report;
}

std::string AccessibilityReport::describe() const {
    return violations.join(u'\n').toStdString();
}
