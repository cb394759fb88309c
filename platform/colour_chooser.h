#pragma once
// The colour chooser behind a plain function, so tests can answer it.

#include <QColor>

#include <functional>
#include <optional>

class QWidget;

namespace platform {

// Opens the chooser with the initial colour preselected; the chosen colour, or nothing when
// the user cancelled.
std::optional<QColor> ChooseColor(QWidget *owner, const QColor &initial);

// Tests: while set, the chooser is answered by this function instead of being shown.
void SetColorChooserAnswer(std::function<std::optional<QColor>(const QColor &initial)> answer);

} // namespace platform
