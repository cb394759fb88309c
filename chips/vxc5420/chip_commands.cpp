#include "chip_commands.h"

namespace vxc5420 {

QString SetModeFailureText(const QString &chipName) {
    return QStringLiteral("%1 Set Mode Command Fail !").arg(chipName);
}

} // namespace vxc5420
