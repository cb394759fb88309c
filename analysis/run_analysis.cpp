#include "analysis/run_analysis.h"

#include "analysis/drift_error.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace analysis {
namespace {

bool Cancelled(const std::atomic<bool> *cancel) {
    return cancel && cancel->load();
}

// Samples less the baseline plus the mean, rounded to codes: extremes first, then counts.
bool CountResiduals(SampleSource &source, double rate, const Baseline &baseline, double mean,
                    Histogram &histogram, std::string &error, const std::atomic<bool> *cancel) {
    int32_t lowest = 0, highest = 0;
    bool any = false, notANumber = false;
    std::vector<int32_t> residuals;
    // False on a value that is no number (a NaN time or baseline): cast to an integer it would
    // be undefined.
    auto round = [&](std::span<const int32_t> codes, std::span<const double> times) {
        residuals.resize(codes.size());
        for (size_t i = 0; i < codes.size(); ++i) {
            const double value =
                codes[i] - (times.empty() ? baseline.meanCodes : baseline.at(times[i])) + mean;
            if (std::isnan(value))
                return false;
            residuals[i] =
                static_cast<int32_t>(std::clamp(std::round(value), -2147483648.0, 2147483647.0));
        }
        return true;
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (const SamplePiece &piece : source.pieces()) {
            const bool read = WalkPiece(
                source, piece, piece.first, piece.count, baseline.needsTimes(), rate,
                [&](uint64_t, std::span<const int32_t> codes, std::span<const double> times) {
                    if (!round(codes, times)) {
                        notANumber = true;
                        return false;
                    }
                    if (pass == 1) {
                        CountSamples(histogram, residuals);
                    } else {
                        const auto [lo, hi] =
                            std::minmax_element(residuals.begin(), residuals.end());
                        lowest = any ? std::min(lowest, *lo) : *lo;
                        highest = any ? std::max(highest, *hi) : *hi;
                        any = true;
                    }
                    return !Cancelled(cancel);
                });
            if (!read) {
                error = notANumber          ? "a sample less its baseline is not a number"
                        : Cancelled(cancel) ? std::string()
                                            : source.errorText();
                return false;
            }
        }
        if (pass == 0) {
            if (!any)
                return true;
            histogram = HistogramLayout(lowest, highest);
        }
    }
    histogram.fit = FitGaussian(histogram);
    return true;
}

void AppendRow(std::string &out, std::initializer_list<double> values) {
    char text[32];
    bool first = true;
    for (double v : values) {
        if (!first)
            out += ',';
        first = false;
        std::snprintf(text, sizeof text, "%.9g", v);
        out += text;
    }
    out += '\n';
}

} // namespace

std::optional<RunSummary> SummarizeRun(SampleSource &source, double sampleRateHz,
                                       MinMaxPyramid *pyramid, std::string &error,
                                       const std::atomic<bool> *cancel) {
    RunSummary summary;
    DriftAccumulator drift;
    BlockMeans blocks(source.count());
    bool any = false;
    const double rate = sampleRateHz > 0 ? sampleRateHz : 1.0;
    for (const SamplePiece &piece : source.pieces()) {
        const bool read = WalkPiece(
            source, piece, piece.first, piece.count, true, rate,
            [&](uint64_t first, std::span<const int32_t> codes, std::span<const double> times) {
                drift.add(codes, times);
                blocks.add(first, codes, times);
                if (pyramid)
                    pyramid->add(codes);
                const auto [lo, hi] = std::minmax_element(codes.begin(), codes.end());
                summary.minimum = any ? std::min(summary.minimum, *lo) : *lo;
                summary.maximum = any ? std::max(summary.maximum, *hi) : *hi;
                any = true;
                return !Cancelled(cancel);
            });
        if (!read) {
            error = Cancelled(cancel) ? std::string() : source.errorText();
            return std::nullopt;
        }
    }
    if (pyramid)
        pyramid->finish();
    summary.drift = drift.line();
    summary.drift.slopeErrorCodesPerSecond = DriftSlopeError(blocks, summary.drift);
    summary.rmsAboutMeanCodes = drift.rmsAboutMean();
    return summary;
}

Baseline BaselineOf(const RunSummary &summary, bool detrend) {
    Baseline baseline;
    baseline.meanCodes = summary.drift.meanCodes;
    if (detrend)
        baseline.line = summary.drift;
    return baseline;
}

std::optional<RunAnalysis> AnalyzeRun(SampleSource &source, double sampleRateHz,
                                      const RunSummary &summary, bool detrend, std::string &error,
                                      const std::atomic<bool> *cancel) {
    RunAnalysis analysis;
    analysis.detrended = detrend;
    const Baseline baseline = BaselineOf(summary, detrend);
    analysis.stdDevCodes = detrend ? summary.drift.residualRmsCodes : summary.rmsAboutMeanCodes;
    std::optional<NoiseDensity> density =
        ComputeNoiseDensity(source, sampleRateHz, baseline, error, cancel);
    if (!density)
        return std::nullopt;
    analysis.density = std::move(*density);
    std::optional<AllanDeviation> allan =
        ComputeAllanDeviation(source, sampleRateHz, baseline, error, cancel);
    if (!allan)
        return std::nullopt;
    analysis.allan = std::move(*allan);
    if (!CountResiduals(source, sampleRateHz > 0 ? sampleRateHz : 1.0, baseline,
                        summary.drift.meanCodes, analysis.histogram, error, cancel))
        return std::nullopt;
    return analysis;
}

bool WriteNoiseDensityCsv(const NoiseDensity &density, double voltsPerCode, bool perSample,
                          const std::function<bool(std::string_view)> &sink) {
    const bool volts = voltsPerCode > 0;
    std::string out =
        perSample ? (volts ? "cycles_per_sample,codes2_per_cycle,codes_per_rtcycle,v2_per_cycle,"
                             "v_per_rtcycle\n"
                           : "cycles_per_sample,codes2_per_cycle,codes_per_rtcycle\n")
                  : (volts ? "frequency_hz,codes2_per_hz,codes_per_rthz,v2_per_hz,v_per_rthz\n"
                           : "frequency_hz,codes2_per_hz,codes_per_rthz\n");
    constexpr size_t kFlushAt = 1 << 16; // bytes handed on at a time
    for (size_t k = 1; k < density.powerDensity.size(); ++k) {
        const double p = density.powerDensity[k];
        if (volts)
            AppendRow(out, {density.frequency(k), p, std::sqrt(p), p * voltsPerCode * voltsPerCode,
                            std::sqrt(p) * voltsPerCode});
        else
            AppendRow(out, {density.frequency(k), p, std::sqrt(p)});
        if (out.size() >= kFlushAt) {
            if (!sink(out))
                return false;
            out.clear();
        }
    }
    return sink(out);
}

std::string NoiseDensityCsv(const NoiseDensity &density, double voltsPerCode, bool perSample) {
    std::string whole;
    WriteNoiseDensityCsv(density, voltsPerCode, perSample, [&](std::string_view bytes) {
        whole += bytes;
        return true;
    });
    return whole;
}

std::string AllanCsv(const AllanDeviation &allan, double voltsPerCode, bool perSample) {
    const bool volts = voltsPerCode > 0;
    std::string out = perSample ? "tau_samples" : "tau_s";
    out += volts ? ",m,terms,edf,adev_codes,low_codes,high_codes,adev_v,low_v,high_v\n"
                 : ",m,terms,edf,adev_codes,low_codes,high_codes\n";
    for (const AllanPoint &p : allan.points) {
        if (volts)
            AppendRow(out, {p.tau, double(p.m), double(p.terms), p.edf, p.adev, p.low, p.high,
                            p.adev * voltsPerCode, p.low * voltsPerCode, p.high * voltsPerCode});
        else
            AppendRow(out, {p.tau, double(p.m), double(p.terms), p.edf, p.adev, p.low, p.high});
    }
    return out;
}

std::string HistogramCsv(const Histogram &histogram) {
    std::string out = "first_code,last_code,count,gaussian\n";
    for (size_t i = 0; i < histogram.counts.size(); ++i) {
        const double first = histogram.firstCode + double(i) * histogram.binWidth;
        AppendRow(out, {first, first + histogram.binWidth - 1, double(histogram.counts[i]),
                        GaussianAt(histogram.fit, histogram.binWidth, histogram.binCentre(i))});
    }
    return out;
}

} // namespace analysis
