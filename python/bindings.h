#pragma once
// The pieces of the pellorin module, each binding its part (one file each), and what they
// share: the exceptions, the Qt application the link needs, text and array conversions.

#include "analysis/conversion_facts.h"

#include <QString>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

namespace pellorin_py {

namespace py = pybind11;

void BindErrors(py::module_ &module);
void BindBoard(py::module_ &module);
void BindAnalysis(py::module_ &module);
void BindVirtualBoard(py::module_ &module);

// Qt's serial port wants a QCoreApplication; one is made on first use when the process has
// none (the locale is left as Python had it).
void EnsureApplication();

inline QString Text(const std::string &text) {
    return QString::fromStdString(text);
}
inline py::str Str(const QString &text) {
    return py::str(text.toStdString());
}

// Codes as a contiguous int32 array: the script's own when it is one, else a converted copy
// (a list, another integer type). Raises ValueError for anything not one-dimensional.
py::array_t<int32_t, py::array::c_style> CodesArray(const py::handle &codes);

// The facts as the dict scripts see: volts_per_code, pga_gain, reference_volts,
// reference_given, span_volts, span_per_reference, data_rate_sps, settling_conversions,
// mode_known.
py::dict FactsDict(const analysis::ConversionFacts &facts);
// Back from such a dict (the keys noise_figures and spectrum need), for facts a script made
// or kept.
analysis::ConversionFacts FactsFrom(const py::handle &facts);

} // namespace pellorin_py
