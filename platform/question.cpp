#include "question.h"

#include <QMessageBox>
#include <QWidget>

namespace platform {
namespace {
std::function<bool(const QString &)> &testAnswer() {
    static std::function<bool(const QString &)> answer;
    return answer;
}
} // namespace

bool AskYesNo(QWidget *owner, const QString &text, const QString &caption) {
    if (testAnswer())
        return testAnswer()(text);
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    owner ? owner->window() : nullptr);
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void SetQuestionAnswer(std::function<bool(const QString &)> answer) {
    testAnswer() = std::move(answer);
}

} // namespace platform
