#pragma once
// The pieces of the pellorin module, each binding its part (one file each), and what they
// share: the exceptions, the Qt application the link needs, text and array conversions.

#include "conversion/conversion_facts.h"

#include <QString>

#include <utility>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

namespace pellorin_py {

namespace py = pybind11;

void BindErrors(py::module_ &module);
void BindBoard(py::module_ &module);
void BindAnalysis(py::module_ &module);
void BindLongRun(py::module_ &module);
void BindVirtualBoard(py::module_ &module);
void BindOpenAll(py::module_ &module);
void BindCaptureAll(py::module_ &module);

// Qt's serial port wants a QCoreApplication; one is made on first use when the process has
// none (the locale is left as Python had it).
void EnsureApplication();

inline QString Text(const std::string &text) {
    return QString::fromStdString(text);
}
inline py::str Str(const QString &text) {
    return py::str(text.toStdString());
}

// A vector's storage handed to numpy as it is: no copy, no Python object per sample.
template <typename T> py::array_t<T> ArrayOf(std::vector<T> &&values) {
    auto *owned = new std::vector<T>(std::move(values));
    const py::capsule free(owned, [](void *p) { delete static_cast<std::vector<T> *>(p); });
    return py::array_t<T>(static_cast<py::ssize_t>(owned->size()), owned->data(), free);
}

// Codes as a contiguous int32 array: the script's own when it is one, else a converted copy
// (a list, another integer type). Codes are integers of 24 bits: an array of another kind
// (floats, which may be volts; booleans; objects) raises TypeError, a value outside
// -8388608 .. 8388607 (or not one-dimensional) ValueError naming it. Never a silent cast:
// volts cast to int32 become 0, 2**40 wraps to 0, NaN to INT_MIN.
py::array_t<int32_t, py::array::c_style> CodesArray(const py::handle &codes);

// The one rule for short records: a function given fewer codes than it needs raises
// ValueError saying how many it needs and how many it got, never an empty or zero result.
void NeedCodes(const char *function, py::ssize_t have, py::ssize_t need);

// The facts as the dict scripts see: the names the capture files record them under
// (capture::ConversionRecord: reference_volts, reference_source, mode, pga_gain, data_rate_sps,
// volts_per_code, or the "_from_registers" names of a mode not known), then mode_known,
// span_volts, span_per_reference, settling_conversions and the reference's bounds.
py::dict FactsDict(const conversion::ConversionFacts &facts);
// Back from such a dict, or from read_capture's attrs (the recorded names), for facts a
// script made or kept.
conversion::ConversionFacts FactsFrom(const py::handle &facts);

} // namespace pellorin_py
