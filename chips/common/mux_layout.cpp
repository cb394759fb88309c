#include "mux_layout.h"

namespace panel_common {

QString InputName(const MuxLayout &layout, int input) {
    if (input < 0 || input >= layout.inputCount)
        return QString();
    return QLatin1String(layout.inputNames[input]);
}

int FindInput(const MuxLayout &layout, const QString &name) {
    for (int input = 0; input < layout.inputCount; ++input) {
        if (name.compare(QLatin1String(layout.inputNames[input]), Qt::CaseInsensitive) == 0)
            return input;
    }
    return -1;
}

bool IsInputPair(const MuxLayout &layout, int positive, int negative) {
    const auto exists = [&](int input) { return input >= 0 && input < layout.inputCount; };
    return exists(positive) && exists(negative) && positive != negative;
}

} // namespace panel_common
