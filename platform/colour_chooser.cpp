#include "colour_chooser.h"

#include <QColorDialog>

namespace platform {
namespace {
std::function<std::optional<QColor>(const QColor &)> &testAnswer() {
    static std::function<std::optional<QColor>(const QColor &)> answer;
    return answer;
}
} // namespace

std::optional<QColor> ChooseColor(QWidget *owner, const QColor &initial) {
    if (testAnswer())
        return testAnswer()(initial);
    QColorDialog dialog(initial, owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

void SetColorChooserAnswer(std::function<std::optional<QColor>(const QColor &)> answer) {
    testAnswer() = std::move(answer);
}

} // namespace platform
