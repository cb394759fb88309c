#include "analysis/scale.h"

#include "analysis/noise_figures.h"

namespace analysis {

double FullScaleVolts(double referenceVolts, double pgaGain, double spanPerReference) {
    if (!(referenceVolts > 0) || !(pgaGain > 0) || !(spanPerReference > 0))
        return 0.0;
    return spanPerReference * referenceVolts / pgaGain;
}

double LsbVolts(double fullScaleVolts) {
    return fullScaleVolts > 0 ? fullScaleVolts / kCodeSpan : 0.0;
}

} // namespace analysis
