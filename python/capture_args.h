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
                                           const std::optional<std::string> &format, bool force,
                                           const py::object &reconnectWithin);

// stopped_by, samples, seconds, blocks, files, dead_seconds, longest_dead_seconds,
// clipped_samples, path (the last file written), losses (a dict per time the board was lost
// and came back: start_utc, start_s, cause, length_s, lost_conversions) and lost_seconds.
py::dict CaptureSummary(const capture::CaptureResult &result, const QString &lastFile);

} // namespace pellorin_py
