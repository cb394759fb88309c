#pragma once

class QWidget;

namespace platform {

// Escape and Return never close a window of this program: key presses of either are swallowed
// on the window and on every widget inside it.
void SwallowEscapeAndReturn(QWidget *window);

} // namespace platform
