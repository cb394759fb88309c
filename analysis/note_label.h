#pragma once
// A label that shows a sentence or a reading rather than naming a control. Its accessible name
// follows its text, so a screen reader reads what is shown, after the caption when one is
// given ("Record plot readout: ...").

class QLabel;
class QString;

void ShowNote(QLabel *label, const QString &text, const QString &caption);
void ShowNote(QLabel *label, const QString &text);
