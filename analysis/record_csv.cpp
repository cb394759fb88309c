#include "analysis/record_csv.h"

#include "analysis/sample_times.h"

#include <cstdio>

namespace analysis {

std::string RecordCsv(std::span<const int32_t> samples, double sampleRateHz, double lsbVolts,
                      std::span<const double> arrivalTimes) {
    const bool arrived = !samples.empty() && arrivalTimes.size() == samples.size();
    std::string out = "# time_s: ";
    if (arrived)
        out += kArrivalTimeRule;
    else if (sampleRateHz > 0)
        out += kRateTimeRule;
    else
        out += "empty, the data rate is not known";
    out += "\nindex,time_s,code,volts\n";
    out.reserve(out.size() + samples.size() * 48);
    char line[128];
    for (size_t i = 0; i < samples.size(); ++i) {
        int n = std::snprintf(line, sizeof line, "%zu,", i);
        if (arrived)
            n += std::snprintf(line + n, sizeof line - n, "%.9g", arrivalTimes[i]);
        else if (sampleRateHz > 0)
            n += std::snprintf(line + n, sizeof line - n, "%.9g", double(i) / sampleRateHz);
        n += std::snprintf(line + n, sizeof line - n, ",%d,", samples[i]);
        if (lsbVolts > 0)
            n += std::snprintf(line + n, sizeof line - n, "%.9g", samples[i] * lsbVolts);
        out.append(line, static_cast<size_t>(n));
        out += '\n';
    }
    return out;
}

std::string SpectrumCsv(const Spectrum &spectrum, bool inHertz) {
    std::string out = inHertz ? "frequency_hz,dbfs\n" : "cycles_per_sample,dbfs\n";
    out.reserve(out.size() + spectrum.dbfs.size() * 32);
    char line[64];
    for (size_t k = 0; k < spectrum.dbfs.size(); ++k) {
        const int n = std::snprintf(line, sizeof line, "%.9g,%.3f\n",
                                    static_cast<double>(k) * spectrum.binHz, spectrum.dbfs[k]);
        out.append(line, static_cast<size_t>(n));
    }
    return out;
}

} // namespace analysis
