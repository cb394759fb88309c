#pragma once
// A yes/no question to the user, behind a plain function so tests can answer it.

#include <QString>

#include <functional>

class QWidget;

namespace platform {

// True when the user answered "Yes".
bool AskYesNo(QWidget *owner, const QString &text, const QString &caption);

// Tests: while set, every question is answered by this function instead of being shown.
void SetQuestionAnswer(std::function<bool(const QString &text)> answer);

} // namespace platform
