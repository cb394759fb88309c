// noise_figures, spectrum and read_capture: the analysis window's figures and the capture's
// files, for arrays a script holds.

#include "bindings.h"
#include "board_call.h"
#include "errors.h"

#include "analysis/noise_figures.h"
#include "analysis/spectrum.h"
#include "capture/capture_facts.h"
#include "capture/capture_reader.h"

#include <pybind11/stl.h>

#include <cmath>
#include <memory>
#include <type_traits>
#include <variant>

namespace pellorin_py {

namespace {
std::span<const int32_t> SpanOf(const py::array_t<int32_t, py::array::c_style> &codes) {
    return {codes.data(), static_cast<size_t>(codes.size())};
}
} // namespace

namespace {
constexpr int64_t kLowestCode = -8388608, kHighestCode = 8388607;

template <typename T> void CheckCodeRange(const py::array &any) {
    const auto values = py::array_t<T, py::array::c_style | py::array::forcecast>::ensure(any);
    const T *data = values.data();
    for (py::ssize_t i = 0; i < values.size(); ++i) {
        bool inside = false;
        if constexpr (std::is_signed_v<T>)
            inside = int64_t(data[i]) >= kLowestCode && int64_t(data[i]) <= kHighestCode;
        else
            inside = uint64_t(data[i]) <= uint64_t(kHighestCode);
        if (!inside)
            throw Value(QStringLiteral("codes are 24-bit, from %1 to %2: codes[%3] is %4")
                            .arg(kLowestCode)
                            .arg(kHighestCode)
                            .arg(i)
                            .arg(data[i]));
    }
}
} // namespace

py::array_t<int32_t, py::array::c_style> CodesArray(const py::handle &codes) {
    const py::array any = py::array::ensure(codes);
    if (!any)
        throw py::type_error("codes must be a one-dimensional array of integers");
    if (any.ndim() != 1)
        throw Value(
            QStringLiteral("codes must be one-dimensional, not of %1 dimensions").arg(any.ndim()));
    const char kind = any.dtype().kind();
    if (kind != 'i' && kind != 'u')
        throw py::type_error(
            "codes must be integers (the converter's 24-bit codes), not " +
            py::str(any.dtype()).cast<std::string>() +
            (kind == 'f' ? ": volts divided by volts_per_code and rounded are codes" : ""));
    if (kind == 'u' && any.itemsize() == 8)
        CheckCodeRange<uint64_t>(any);
    else if (any.itemsize() > 4 || (kind == 'u' && any.itemsize() == 4))
        CheckCodeRange<int64_t>(any);
    else if (kind == 'i' && any.itemsize() == 4)
        CheckCodeRange<int32_t>(any);
    // Narrower integers hold nothing beyond 24 bits.
    return py::array_t<int32_t, py::array::c_style | py::array::forcecast>::ensure(any);
}

void NeedCodes(const char *function, py::ssize_t have, py::ssize_t need) {
    if (have < need)
        throw Value(QStringLiteral("%1 needs at least %2 %3; it was given %4")
                        .arg(QLatin1String(function))
                        .arg(need)
                        .arg(need == 1 ? QStringLiteral("code") : QStringLiteral("codes"))
                        .arg(have));
}

namespace {
// The conversion facts under the names the capture files and pellorin-cli's JSON give them.
void PutRecord(py::dict &d, const conversion::ConversionFacts &facts) {
    for (const capture::RecordedFact &fact : capture::ConversionRecord(facts)) {
        if (const double *number = std::get_if<double>(&fact.value))
            d[fact.name] = *number;
        else
            d[fact.name] = Str(std::get<QString>(fact.value));
    }
}
} // namespace

py::dict FactsDict(const conversion::ConversionFacts &facts) {
    py::dict d;
    PutRecord(d, facts);
    d["mode_known"] = facts.modeKnown;
    d["span_volts"] = facts.spanVolts;
    d["span_per_reference"] = facts.spanPerReference;
    d["settling_conversions"] = facts.settlingConversions;
    d["reference_min_volts"] = facts.referenceRange.minVolts;
    d["reference_max_volts"] = facts.referenceRange.maxVolts;
    return d;
}

conversion::ConversionFacts FactsFrom(const py::handle &facts) {
    conversion::ConversionFacts out;
    if (facts.is_none())
        return out;
    if (!py::isinstance<py::dict>(facts))
        throw Value(QStringLiteral("facts must be a dict (board.facts, or read_capture's attrs)"));
    const py::dict d = py::reinterpret_borrow<py::dict>(facts);
    for (const capture::RecordedFact &fact : capture::RecordedFactNames()) {
        if (!d.contains(fact.name))
            continue;
        const py::handle value = d[fact.name];
        if (std::holds_alternative<QString>(fact.value))
            capture::TakeRecordedFact(out, QLatin1String(fact.name),
                                      Text(py::str(value).cast<std::string>()), 0.0);
        else
            capture::TakeRecordedFact(out, QLatin1String(fact.name), {}, value.cast<double>());
    }
    return out;
}

void BindAnalysis(py::module_ &module) {
    module.def(
        "noise_figures",
        [](const py::handle &codes, const py::object &facts) {
            const auto array = CodesArray(codes);
            NeedCodes("noise_figures", array.size(), 1);
            const conversion::ConversionFacts scale = FactsFrom(facts);
            analysis::NoiseFigures f;
            {
                py::gil_scoped_release release;
                f = analysis::ComputeNoiseFigures(SpanOf(array));
            }
            py::dict d;
            d["count"] = f.count;
            d["mean"] = f.mean;
            d["std_dev"] = f.stdDev;
            d["minimum"] = f.minimum;
            d["maximum"] = f.maximum;
            d["peak_to_peak"] = f.peakToPeak;
            d["effective_bits"] = f.effectiveBits;
            d["noise_free_bits"] = f.noiseFreeBits;
            d["skewness"] = f.skewness;
            d["excess_kurtosis"] = f.excessKurtosis;
            d["clipped"] = f.clipped;
            d["no_noise"] = f.noNoise();
            if (f.clipped > 0)
                d["clipped_text"] = analysis::ClippedText(f.clipped, f.count);
            // No volts from a gain that is only a guess (a VXC5420 whose mode is not known).
            if (const double lsb = conversion::ClaimedVoltsPerCode(scale); lsb > 0) {
                d["mean_volts"] = f.mean * lsb;
                d["rms_noise_volts"] = f.stdDev * lsb;
                d["peak_to_peak_volts"] = static_cast<double>(f.peakToPeak) * lsb;
            }
            return d;
        },
        py::arg("codes"), py::arg("facts") = py::none(),
        R"(The analysis window's noise figures of a record of codes, as a dict.

count, mean, std_dev (RMS about the mean), minimum, maximum, peak_to_peak (codes),
effective_bits and noise_free_bits (inf for a record without noise), skewness,
excess_kurtosis, clipped (samples at the code limits; clipped_text then says so), no_noise.
With facts (board.facts, or read_capture's attrs), also mean_volts, rms_noise_volts and
peak_to_peak_volts, unless the facts' gain is a guess (volts_per_code_from_registers: a
VXC5420 whose mode was not set).)");

    module.def(
        "spectrum",
        [](const py::handle &codes, const py::object &facts, const std::string &window,
           bool tone) -> py::object {
            const auto array = CodesArray(codes);
            analysis::WindowKind kind = analysis::WindowKind::Hann;
            if (window == "blackman-harris")
                kind = analysis::WindowKind::BlackmanHarris4;
            else if (window != "hann")
                throw Value(QStringLiteral("window takes \"hann\" or \"blackman-harris\""));
            NeedCodes("spectrum", array.size(), 8);
            const double rate = FactsFrom(facts).dataRateSps;
            analysis::Spectrum s;
            {
                py::gil_scoped_release release;
                s = analysis::ComputeSpectrum(SpanOf(array), kind, rate > 0 ? rate : 1.0);
            }
            py::array_t<double> freqs(static_cast<py::ssize_t>(s.dbfs.size()));
            for (size_t i = 0; i < s.dbfs.size(); ++i)
                freqs.mutable_data()[i] = static_cast<double>(i) * s.binHz;
            if (!tone)
                return py::make_tuple(freqs, ArrayOf(std::move(s.dbfs)));
            py::object figures = py::none();
            if (s.tone) {
                py::dict t;
                t["frequency_hz"] = s.tone->frequencyHz;
                t["amplitude_dbfs"] = s.tone->amplitudeDbfs;
                t["snr_db"] = s.tone->snrDb;
                t["thd_db"] = s.tone->thdDb;
                t["sinad_db"] = s.tone->sinadDb;
                t["sfdr_db"] = s.tone->sfdrDb;
                t["enob"] = s.tone->enob;
                figures = t;
            }
            return py::make_tuple(freqs, ArrayOf(std::move(s.dbfs)), figures);
        },
        py::arg("codes"), py::arg("facts") = py::none(), py::kw_only(), py::arg("window") = "hann",
        py::arg("tone") = false,
        R"(The analysis window's amplitude spectrum: (freqs, dbfs) as float64 arrays.

dBFS against a full-scale sine, the record's mean removed, through a "hann" or
"blackman-harris" window; lengths with prime factors above 5 are zero-padded. Frequencies in
hertz at facts' data_rate_sps, else in cycles per sample. tone=True adds a third item: the
tone's figures (frequency_hz, amplitude_dbfs, snr_db, thd_db, sinad_db, sfdr_db, enob) when
one stands above the noise, else None.)");

    module.def(
        "read_capture",
        [](const std::string &path, bool times) {
            capture::CaptureRead read;
            {
                py::gil_scoped_release release;
                read = capture::ReadCapture(Text(path), times);
            }
            if (read.failed())
                throw File(read.errorPath, read.errorCause);
            py::dict attrs;
            const capture::CaptureFacts &f = read.facts;
            attrs["chip"] = Str(f.chipName);
            attrs["registers"] =
                py::bytes(reinterpret_cast<const char *>(f.registers.data()), f.registers.size());
            PutRecord(attrs, f.conversion);
            attrs["program_version"] = Str(f.programVersion);
            attrs["start_time"] = Str(f.startTime);
            attrs["stopped_by"] = Str(read.stoppedBy);
            py::list files;
            for (const QString &file : read.paths)
                files.append(Str(file));
            attrs["files"] = files;
            py::list gaps;
            for (const capture::ReadGap &gap : read.gaps) {
                py::dict g;
                g["at_sample"] = gap.record.atSample;
                g["lost"] = gap.record.lost;
                g["start_s"] = gap.record.startSeconds;
                g["length_s"] = gap.record.lengthSeconds;
                g["start_utc"] = Str(gap.record.startUtc);
                g["cause"] = Str(gap.record.cause);
                g["file"] = Str(gap.path);
                g["index"] = gap.index;
                g["first_sample"] = gap.firstSample;
                gaps.append(g);
            }
            attrs["gaps"] = gaps;
            if (times) {
                const bool known = read.times.size() == read.codes.size() && !read.codes.empty();
                attrs["time_s"] = known ? py::object(ArrayOf(std::move(read.times))) : py::none();
                attrs["time_rule"] = known ? py::object(Str(read.timeRule)) : py::none();
            }
            return py::make_tuple(ArrayOf(std::move(read.codes)), attrs);
        },
        py::arg("path"), py::kw_only(), py::arg("times") = true,
        R"(A capture file read back: (codes, attrs), codes a numpy int32 array.

The files of a split run are read as one run: give run.h5 (when only the numbered files
exist) or any of run_0001.h5, run_0002.h5 ... attrs holds the facts the first file records
(chip, registers, reference_volts, reference_source, mode for a VXC5420, pga_gain,
data_rate_sps, volts_per_code, program_version, start_time; a VXC5420 captured without its
mode known has pga_gain_from_registers ... instead), stopped_by of the last file and files, the
paths read. gaps lists the gaps the files record (the board lost and reopened), each a dict:
at_sample (samples of its file before it), lost (conversions lost), start_s, length_s,
start_utc, cause, file, index (where the samples after it begin in codes) and first_sample
(their run-wide index); give it to noise_density and allan_deviation (gaps=) so nothing is
computed across one. With times (the default), time_s holds each sample's time in seconds since the
capture started (float64), as the files record it, or index / data rate for files that hold
no times; time_rule says which; both None where neither is known. A file that cannot be read,
or a run with a file missing, raises FileError.)");
}

} // namespace pellorin_py
