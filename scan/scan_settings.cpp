#include "scan_settings.h"

namespace scan {

int DefaultDiscard(const conversion::ConversionFacts &facts) {
    return facts.settlingConversions;
}

QString CheckScanSettings(const ScanSettings &settings) {
    if (settings.inputs.empty())
        return QStringLiteral("No input is chosen.");
    if (settings.count < 1 || settings.count > kMaxScanItems)
        return QStringLiteral("Samples per input must be from 1 to %1.").arg(kMaxScanItems);
    if (settings.discard < 0 || settings.count + settings.discard > kMaxScanItems)
        return QStringLiteral("Samples per input and discarded samples together must be at "
                              "most %1.")
            .arg(kMaxScanItems);
    if (settings.repeats < 1 || settings.repeats > kMaxScanRepeats)
        return QStringLiteral("Repeats must be from 1 to %1.").arg(kMaxScanRepeats);
    return QString();
}

} // namespace scan
