#include "analysis/reference_edit.h"

#include <QDoubleValidator>
#include <QLocale>

namespace {
QString volts(double value) {
    return QString::number(value, 'g', 9);
}
} // namespace

ReferenceEdit::ReferenceEdit(QWidget *parent) : QLineEdit(parent) {
    // The validator keeps the text a number; the bounds are the chip's, checked on each edit so
    // that a value out of them is answered, not silently left standing.
    auto *validator = new QDoubleValidator(0.0, 1000.0, 9, this);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    setValidator(validator);
    setMaximumWidth(120);
    connect(this, &QLineEdit::editingFinished, this, &ReferenceEdit::onEditingFinished);
    showReference();
}

QString ReferenceEdit::boundsText() const {
    if (!(m_range.maxVolts > 0))
        return QString();
    return tr("The reference must be from %1 V to %2 V.")
        .arg(volts(m_range.minVolts), volts(m_range.maxVolts));
}

void ReferenceEdit::setRange(const conversion::ReferenceRange &range) {
    m_range = range;
    const bool dropped = m_given && !m_range.contains(*m_given);
    if (dropped)
        m_given.reset();
    showReference();
    if (dropped)
        emit refused(boundsText());
}

void ReferenceEdit::onEditingFinished() {
    const QString typed = text().trimmed();
    // The focus passing through leaves the reference as it was, the chip's default too.
    if (typed == m_shown)
        return;
    std::optional<double> value;
    if (!typed.isEmpty()) {
        bool ok = false;
        const double number = QLocale::c().toDouble(typed, &ok);
        const bool allowed = m_range.maxVolts > 0 ? m_range.contains(number) : number > 0;
        if (!ok || !allowed) {
            showReference();
            emit refused(m_range.maxVolts > 0 ? boundsText()
                                              : tr("The reference must be above 0 V."));
            return;
        }
        value = number;
    }
    const bool changed = value != m_given;
    m_given = value;
    showReference();
    if (changed)
        emit referenceChanged();
}

void ReferenceEdit::showReference() {
    const double shown = m_given.value_or(m_range.defaultVolts);
    m_shown = shown > 0 ? volts(shown) : QString();
    setText(m_shown);
    QString tip = tr("The reference in volts");
    if (m_range.maxVolts > 0)
        tip +=
            tr(", %1 V to %2 V; empty for the chip's %3 V")
                .arg(volts(m_range.minVolts), volts(m_range.maxVolts), volts(m_range.defaultVolts));
    setToolTip(tip);
    setAccessibleDescription(tip);
}
