#pragma once
// The chip command the VXC5420's panel sends (set-mode, from the "Mode" list) and the
// panel's text after it fails. No widgets.

#include <QString>

namespace vxc5420 {

// "%1 Set Mode Command Fail !" with the detected chip's name in place of %1.
QString SetModeFailureText(const QString &chipName);

} // namespace vxc5420
