#pragma once
// Figures in doubt (those of clipped samples) stand apart the same way in every window: drawn
// in one colour, and described to a screen reader.

#include <QColor>

class QString;
class QWidget;

QColor DoubtfulColour();

// The field's text in the doubtful colour with this accessible description; or, not doubtful,
// in its parent's text colour with none.
void MarkDoubtful(QWidget *field, bool doubtful, const QString &description);
