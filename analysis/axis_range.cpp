#include "analysis/axis_range.h"

#include <algorithm>
#include <cmath>

namespace analysis {

double NiceTickStep(AxisRange range, int maxTicks) {
    const double span = range.span();
    if (!(span > 0.0) || !std::isfinite(span))
        return 0.0;
    maxTicks = std::max(maxTicks, 2);
    // The least step with at most maxTicks ticks: a range holds span / step + 1 of them at most.
    const double least = span / double(maxTicks - 1);
    double power = std::pow(10.0, std::floor(std::log10(least)));
    for (;;) {
        for (double mantissa : {1.0, 2.0, 5.0}) {
            const double step = mantissa * power;
            if (step >= least * (1.0 - 1e-9))
                return step;
        }
        power *= 10.0;
    }
}

double FirstTick(AxisRange range, double step) {
    if (!(step > 0.0))
        return range.min;
    const double first = std::ceil(range.min / step - 1e-9) * step;
    // A tick at zero is written as 0, never as a tiny negative rest of the division.
    return std::fabs(first) < step * 1e-9 ? 0.0 : first;
}

int TickDecimals(double step) {
    if (!(step > 0.0) || step >= 1.0)
        return 0;
    return std::clamp(int(std::ceil(-std::log10(step) - 1e-9)), 0, 15);
}

AxisRange KeepWithin(AxisRange view, AxisRange full) {
    const double span = std::min(view.span(), full.span());
    // Not std::clamp: full.max - span may fall an ulp below full.min.
    const double min = std::max(full.min, std::min(view.min, full.max - span));
    return {min, min + span};
}

AxisRange ZoomAbout(AxisRange view, double at, double factor, AxisRange full) {
    if (!(factor > 0.0) || !std::isfinite(factor) || !std::isfinite(at))
        return KeepWithin(view, full);
    at = std::clamp(at, view.min, view.max);
    return KeepWithin({at - (at - view.min) / factor, at + (view.max - at) / factor}, full);
}

AxisRange PanWithin(AxisRange view, double shift, AxisRange full) {
    if (!std::isfinite(shift))
        shift = 0.0;
    return KeepWithin({view.min + shift, view.max + shift}, full);
}

int DecadesPerLabel(double decades, double room, double labelSize) {
    if (!(decades > 0) || !std::isfinite(decades) || !(labelSize > 0))
        return 1;
    // At worst one label, the first decade's.
    for (int k = 1;; ++k) {
        const double labels = std::floor(decades / k) + 1;
        if (labels * labelSize <= room || labels <= 1)
            return k;
    }
}

} // namespace analysis
