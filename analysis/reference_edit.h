#pragma once
// The reference a window works its volts out with, where the user may set it (the analysis,
// capture and scan windows): an edit that shows the chip's default until the user gives a
// value, keeps a given value within the chip's bounds, names them in its tooltip, and says so
// when it refuses one. An emptied edit goes back to the default.

#include "conversion/conversion_facts.h"

#include <QLineEdit>

#include <optional>

class ReferenceEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit ReferenceEdit(QWidget *parent = nullptr);

    // The chip's default and bounds. A value given before stays where the chip allows it;
    // otherwise it is refused (refused() says so) and the default is shown. The caller, which
    // set the range, works its volts out again itself: referenceChanged() is for the user's
    // edits.
    void setRange(const conversion::ReferenceRange &range);
    // What the user gave, or nothing when the edit shows the chip's default.
    std::optional<double> given() const { return m_given; }
    // The facts at this edit's reference.
    conversion::ConversionFacts applyTo(const conversion::ConversionFacts &facts) const {
        return conversion::WithReference(facts, m_given);
    }
    // "The reference must be from 0.5 V to 2.6 V."; empty before the chip's range is known.
    QString boundsText() const;

  signals:
    // An accepted edit changed the reference.
    void referenceChanged();
    // A value was refused; the note names the bounds. The edit shows the reference before it.
    void refused(const QString &note);

  private:
    void onEditingFinished();
    void showReference();

    conversion::ReferenceRange m_range;
    std::optional<double> m_given;
    QString m_shown; // the text showReference() put up
};
