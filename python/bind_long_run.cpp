// noise_density and allan_deviation: the long-run analysis of the Open Capture window for an
// array of codes a script holds (a capture read back, or a stream gathered).

#include "bindings.h"
#include "errors.h"

#include "analysis/allan_deviation.h"
#include "analysis/noise_density.h"
#include "analysis/run_analysis.h"
#include "analysis/sample_source.h"
#include "capture/capture_run.h"

#include <cmath>
#include <optional>
#include <string>

namespace pellorin_py {
namespace {

// The rate the codes came at: the one given, else the facts'; a rate is needed for seconds.
double RateOf(const conversion::ConversionFacts &facts, const py::object &rate) {
    const double hz = rate.is_none() ? facts.dataRateSps : rate.cast<double>();
    if (!(hz > 0) && (rate.is_none() || std::isnan(hz)))
        throw Value(QStringLiteral("a data rate is needed: facts with data_rate_sps, or rate="));
    // The rates a capture file may state (a rate of 1e300 gives densities that mean nothing).
    if (!(hz >= capture::kMinDataRateSps && hz <= capture::kMaxDataRateSps))
        throw Value(QStringLiteral("the data rate is %1: a rate must be from %2 to %3 samples a "
                                   "second")
                        .arg(hz)
                        .arg(capture::kMinDataRateSps)
                        .arg(capture::kMaxDataRateSps, 0, 'f', 0));
    return hz;
}

// The pieces between the gaps a script gives (read_capture's attrs["gaps"]: each a mapping with
// "index", where the samples after it begin among the codes, and "lost").
std::vector<analysis::MemoryGap> GapsFrom(const py::object &gaps, py::ssize_t codes) {
    std::vector<analysis::MemoryGap> out;
    if (gaps.is_none())
        return out;
    uint64_t before = 0;
    for (const py::handle &gap : gaps) {
        if (!py::isinstance<py::dict>(gap) || !gap.contains("index") || !gap.contains("lost"))
            throw Value(QStringLiteral("each gap must be a dict with \"index\" and \"lost\" (as "
                                       "read_capture gives them)"));
        const py::dict entry = gap.cast<py::dict>();
        const int64_t at = entry["index"].cast<int64_t>(), lost = entry["lost"].cast<int64_t>();
        if (at < static_cast<int64_t>(before) || at > codes || lost < 0)
            throw Value(QStringLiteral("a gap's index %1 (lost %2) is not within the %3 codes in "
                                       "order")
                            .arg(at)
                            .arg(lost)
                            .arg(codes));
        before = static_cast<uint64_t>(at);
        out.push_back({static_cast<uint64_t>(at), static_cast<uint64_t>(lost)});
    }
    return out;
}

// The samples less their baseline (the mean, or the drift line with detrend), read the way the
// window reads a file; the GIL is released meanwhile.
template <typename Compute>
auto Analyze(const char *function, py::ssize_t need, const py::handle &codes, double rate,
             bool detrend, const py::object &gapList, Compute &&compute) {
    const auto array = CodesArray(codes);
    NeedCodes(function, array.size(), need);
    const std::vector<analysis::MemoryGap> gaps = GapsFrom(gapList, array.size());
    std::string error;
    decltype(compute(std::declval<analysis::SampleSource &>(), analysis::Baseline{}, error)) result;
    {
        py::gil_scoped_release release;
        analysis::MemorySource source({array.data(), static_cast<size_t>(array.size())}, rate,
                                      gaps);
        const std::optional<analysis::RunSummary> summary =
            analysis::SummarizeRun(source, rate, nullptr, error);
        if (summary)
            result = compute(source, analysis::BaselineOf(*summary, detrend), error);
    }
    if (!result)
        throw Value(Text(error.empty() ? std::string("the codes could not be analysed") : error));
    return *result;
}

} // namespace

void BindLongRun(py::module_ &module) {
    module.def(
        "noise_density",
        [](const py::handle &codes, const py::object &facts, bool detrend, const py::object &rate,
           const py::object &gaps) {
            const conversion::ConversionFacts scale = FactsFrom(facts);
            const double hz = RateOf(scale, rate);
            const analysis::NoiseDensity density =
                Analyze("noise_density", 16, codes, hz, detrend, gaps,
                        [hz](analysis::SampleSource &source, const analysis::Baseline &baseline,
                             std::string &error) {
                            return analysis::ComputeNoiseDensity(source, hz, baseline, error);
                        });
            const double lsb = conversion::ClaimedVoltsPerCode(scale);
            std::vector<double> freqs, values;
            for (size_t bin = 1; bin < density.powerDensity.size(); ++bin) {
                freqs.push_back(density.frequency(bin));
                const double perRootHz = std::sqrt(density.powerDensity[bin]);
                values.push_back(lsb > 0 ? perRootHz * lsb : perRootHz);
            }
            return py::make_tuple(ArrayOf(std::move(freqs)), ArrayOf(std::move(values)));
        },
        py::arg("codes"), py::arg("facts") = py::none(), py::arg("detrend") = false,
        py::arg("rate") = py::none(), py::arg("gaps") = py::none(),
        R"(The noise spectral density of a record, as the Open Capture window computes it.

Welch's averaged periodogram with a Hann window and 50 % overlap, each segment's mean (or,
with detrend=True, the run's drift line) taken out. Returns (freqs_hz, density): density in
V/sqrt(Hz) when the facts know the volts per code (board.facts, read_capture's attrs), else
in codes/sqrt(Hz). rate= overrides the facts' data rate. gaps= (read_capture's attrs["gaps"])
keeps every segment on one side of each gap.)");

    module.def(
        "allan_deviation",
        [](const py::handle &codes, const py::object &facts, bool detrend, const py::object &rate,
           const py::object &gaps) {
            const conversion::ConversionFacts scale = FactsFrom(facts);
            const double hz = RateOf(scale, rate);
            const analysis::AllanDeviation allan =
                Analyze("allan_deviation", 3, codes, hz, detrend, gaps,
                        [hz](analysis::SampleSource &source, const analysis::Baseline &baseline,
                             std::string &error) {
                            return analysis::ComputeAllanDeviation(source, hz, baseline, error);
                        });
            const double lsb = conversion::ClaimedVoltsPerCode(scale);
            const double unit = lsb > 0 ? lsb : 1.0;
            std::vector<double> taus, adev, low, high;
            for (const analysis::AllanPoint &p : allan.points) {
                taus.push_back(p.tau);
                adev.push_back(p.adev * unit);
                low.push_back(p.low * unit);
                high.push_back(p.high * unit);
            }
            return py::make_tuple(ArrayOf(std::move(taus)), ArrayOf(std::move(adev)),
                                  ArrayOf(std::move(low)), ArrayOf(std::move(high)));
        },
        py::arg("codes"), py::arg("facts") = py::none(), py::arg("detrend") = false,
        py::arg("rate") = py::none(), py::arg("gaps") = py::none(),
        R"(The overlapping Allan deviation of a record, as the Open Capture window computes it.

Tau from one sample period to a third of the record, in octaves. Returns (tau_s, adev, low,
high): low and high bound the 68 % interval from the equivalent degrees of freedom. In volts
when the facts know the volts per code, else in codes. rate= overrides the facts' data rate.
gaps= (read_capture's attrs["gaps"]) keeps every sum on one side of each gap.)");
}

} // namespace pellorin_py
