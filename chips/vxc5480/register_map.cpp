#include "register_map.h"

#include <cmath>
#include <cstdio>

namespace vxc5480 {

// Both halves are the whole byte: nothing of the byte before stays.
const panel_common::MuxLayout kMuxLayout = {
    kMux,
    kInputNames,
    kInputCount,
    kAinCom,
    [](uint8_t, int positive, int negative) { return MuxByte(positive, negative); },
    kSpanPerReference};

QString ClockOutText(int code, int32_t clockInHz) {
    float megahertz = 0.0f;
    if (code != 0) {
        const double quotient = static_cast<float>(clockInHz) / std::pow(2.0, code - 1) / 1000000.0;
        megahertz = static_cast<float>(quotient);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%2.6fMHz", static_cast<double>(megahertz));
    return QString::fromLatin1(text);
}

QString StatusIdText(uint8_t status) {
    return QStringLiteral("%1").arg(StatusChipId(status), 2, 10, QLatin1Char('0'));
}

QString CalibrationText(const uint8_t *lowByteFirst) {
    return HexByteText(lowByteFirst[2]) + HexByteText(lowByteFirst[1]) +
           HexByteText(lowByteFirst[0]);
}

} // namespace vxc5480
