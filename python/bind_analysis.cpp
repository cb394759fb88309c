// noise_figures, spectrum and read_capture: the analysis window's figures and the capture's
// files, for arrays a script holds.

#include "bindings.h"
#include "board_call.h"
#include "errors.h"

#include "analysis/noise_figures.h"
#include "analysis/spectrum.h"
#include "capture/capture_reader.h"

#include <pybind11/stl.h>

#include <cmath>
#include <memory>

namespace pellorin_py {

namespace {
// A vector's storage handed to numpy as it is: no copy, no Python object per sample.
py::array_t<int32_t> ArrayOf(std::vector<int32_t> &&values) {
    auto *owned = new std::vector<int32_t>(std::move(values));
    const py::capsule free(owned, [](void *p) { delete static_cast<std::vector<int32_t> *>(p); });
    return py::array_t<int32_t>(static_cast<py::ssize_t>(owned->size()), owned->data(), free);
}

py::array_t<double> ArrayOf(const std::vector<double> &values) {
    py::array_t<double> array(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), array.mutable_data());
    return array;
}

std::span<const int32_t> SpanOf(const py::array_t<int32_t, py::array::c_style> &codes) {
    return {codes.data(), static_cast<size_t>(codes.size())};
}
} // namespace

py::array_t<int32_t, py::array::c_style> CodesArray(const py::handle &codes) {
    auto array = py::array_t<int32_t, py::array::c_style | py::array::forcecast>::ensure(codes);
    if (!array || array.ndim() != 1)
        throw Value(QStringLiteral("codes must be a one-dimensional array of integers"));
    return array;
}

py::dict FactsDict(const analysis::ConversionFacts &facts) {
    py::dict d;
    d["volts_per_code"] = facts.voltsPerCode;
    d["pga_gain"] = facts.pgaGain;
    d["reference_volts"] = facts.referenceVolts;
    d["reference_given"] = facts.referenceSource == analysis::ReferenceSource::Given;
    d["span_volts"] = facts.spanVolts;
    d["span_per_reference"] = facts.spanPerReference;
    d["data_rate_sps"] = facts.dataRateSps;
    d["settling_conversions"] = facts.settlingConversions;
    d["mode_known"] = facts.modeKnown;
    return d;
}

analysis::ConversionFacts FactsFrom(const py::handle &facts) {
    analysis::ConversionFacts out;
    if (facts.is_none())
        return out;
    const py::dict d = py::reinterpret_borrow<py::dict>(facts);
    const auto number = [&d](const char *key) {
        return d.contains(key) ? d[key].cast<double>() : 0.0;
    };
    out.voltsPerCode = number("volts_per_code");
    out.pgaGain = number("pga_gain");
    out.referenceVolts = number("reference_volts");
    out.spanVolts = number("span_volts");
    out.dataRateSps = number("data_rate_sps");
    return out;
}

void BindAnalysis(py::module_ &module) {
    module.def(
        "noise_figures",
        [](const py::handle &codes, const py::object &facts) {
            const auto array = CodesArray(codes);
            const analysis::ConversionFacts scale = FactsFrom(facts);
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
            if (scale.voltsPerCode > 0) {
                d["mean_volts"] = f.mean * scale.voltsPerCode;
                d["rms_noise_volts"] = f.stdDev * scale.voltsPerCode;
                d["peak_to_peak_volts"] = static_cast<double>(f.peakToPeak) * scale.voltsPerCode;
            }
            return d;
        },
        py::arg("codes"), py::arg("facts") = py::none(),
        R"(The analysis window's noise figures of a record of codes, as a dict.

count, mean, std_dev (RMS about the mean), minimum, maximum, peak_to_peak (codes),
effective_bits and noise_free_bits (inf for a record without noise), skewness,
excess_kurtosis, clipped (samples at the code limits; clipped_text then says so), no_noise.
With facts (board.facts), also mean_volts, rms_noise_volts and peak_to_peak_volts.)");

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
            if (array.size() < 8)
                throw Value(QStringLiteral("a spectrum needs 8 samples or more"));
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
                return py::make_tuple(freqs, ArrayOf(s.dbfs));
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
            return py::make_tuple(freqs, ArrayOf(s.dbfs), figures);
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
        [](const std::string &path) {
            capture::CaptureRead read;
            {
                py::gil_scoped_release release;
                read = capture::ReadCapture(Text(path));
            }
            if (read.failed())
                throw File(read.errorPath, read.errorCause);
            py::dict attrs;
            const capture::CaptureFacts &f = read.facts;
            attrs["chip"] = Str(f.chipName);
            attrs["registers"] =
                py::bytes(reinterpret_cast<const char *>(f.registers.data()), f.registers.size());
            attrs["reference_volts"] = f.referenceVolts;
            attrs["pga_gain"] = f.pgaGain;
            attrs["data_rate_sps"] = f.dataRateSps;
            attrs["volts_per_code"] = f.voltsPerCode;
            attrs["program_version"] = Str(f.programVersion);
            attrs["start_time"] = Str(f.startTime);
            attrs["stopped_by"] = Str(read.stoppedBy);
            py::list files;
            for (const QString &file : read.paths)
                files.append(Str(file));
            attrs["files"] = files;
            return py::make_tuple(ArrayOf(std::move(read.codes)), attrs);
        },
        py::arg("path"),
        R"(A capture file read back: (codes, attrs), codes a numpy int32 array.

The files of a split run are read as one run: give run.h5 (when only the numbered files
exist) or any of run_0001.h5, run_0002.h5 ... attrs holds the facts the first file records
(chip, registers, reference_volts, pga_gain, data_rate_sps, volts_per_code, program_version,
start_time), stopped_by of the last file and files, the paths read. A file that cannot be
read, or a run with a file missing, raises FileError.)");
}

} // namespace pellorin_py
