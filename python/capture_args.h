#pragma once
// What Board.capture and capture_all take and give back: the same keyword arguments, checked
// by the same rules, and the same summary dict.

#include "bindings.h"

#include "capture/capture_engine.h"
#include "capture/capture_settings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pellorin_py {

// The settings of the keyword arguments; a broken one is a ValueError (RuleError) naming it.
capture::CaptureSettings CaptureSettingsOf(const std::string &path, const py::object &duration,
                                           std::optional<int64_t> samples, const py::object &split,
                                           std::optional<int> block,
                                           const std::optional<std::string> &format, bool force);

// stopped_by, samples, seconds, blocks, files, dead_seconds, longest_dead_seconds,
// clipped_samples and path (the last file written).
py::dict CaptureSummary(const capture::CaptureResult &result, const QString &lastFile);

} // namespace pellorin_py
