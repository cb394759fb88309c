#pragma once
// Lists whose choice goes to the chip at once.

class QComboBox;

namespace panel_common {

// The list takes the wheel only while it has focus (a click or the keyboard gives it): a wheel
// that merely passes over it changes nothing and sends nothing, and the wheel goes on to the
// widgets beneath. Clicks and keys work as before.
void TakeWheelOnlyWithFocus(QComboBox *list);

} // namespace panel_common
