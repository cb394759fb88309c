#include "block_plan.h"

#include "capture_settings.h"

#include "link/frames.h"

#include <algorithm>
#include <cmath>

namespace capture {

double DeliveredRate(double nominalSps) {
    return nominalSps > 0 ? std::min(nominalSps, kWireItemsPerSecond) : kWireItemsPerSecond;
}

double ConversionPeriod(double nominalSps) {
    return 1.0 / DeliveredRate(nominalSps);
}

int BlockItemsFor(double seconds, double nominalSps) {
    const double items = std::round(seconds * DeliveredRate(nominalSps));
    return static_cast<int>(std::clamp<double>(items, 1.0, kMaxBlockItems));
}

int DefaultBlockItems(double nominalSps) {
    return BlockItemsFor(1.0, nominalSps);
}

int NextRequestCount(int blockItems, int64_t samplesLeft, double secondsLeft,
                     double itemsPerSecond) {
    int64_t count = std::clamp(blockItems, 1, kMaxBlockItems);
    if (samplesLeft >= 0)
        count = std::min(count, samplesLeft);
    if (count <= 0)
        return 0;
    if (secondsLeft >= 0 && itemsPerSecond > 0) {
        // Rounded up: the block reaches the time, the item checks stop it there.
        const double fits = std::ceil(secondsLeft * itemsPerSecond);
        count = std::min<int64_t>(count, std::max<int64_t>(1, static_cast<int64_t>(fits)));
    }
    return static_cast<int>(count);
}

} // namespace capture
