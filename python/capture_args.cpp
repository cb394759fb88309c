#include "capture_args.h"

#include "errors.h"

#include "capture/duration_text.h"

#include <cmath>

namespace pellorin_py {

namespace {
// The milliseconds of a duration given as seconds or as "H:MM:SS"; 0 for None.
int64_t Milliseconds(const py::handle &value, const char *what) {
    if (value.is_none())
        return 0;
    int64_t ms = -1;
    if (py::isinstance<py::str>(value)) {
        ms = capture::ParseDuration(Text(value.cast<std::string>()));
    } else {
        const double seconds = value.cast<double>();
        if (std::isfinite(seconds) && seconds > 0 && seconds < 1e12)
            ms = std::llround(seconds * 1000.0);
    }
    if (ms <= 0)
        throw Value(QStringLiteral("%1 takes seconds or \"H:MM:SS\", more than 0")
                        .arg(QLatin1String(what)));
    return ms;
}
} // namespace

capture::CaptureSettings CaptureSettingsOf(const std::string &path, const py::object &duration,
                                           std::optional<int64_t> samples, const py::object &split,
                                           std::optional<int> block,
                                           const std::optional<std::string> &format, bool force,
                                           const py::object &reconnectWithin) {
    capture::CaptureSettings settings;
    settings.path = Text(path);
    const QString kind = Text(format.value_or(""));
    if (kind == QLatin1String("csv") ||
        (kind.isEmpty() && settings.path.endsWith(QLatin1String(".csv"))))
        settings.format = capture::FileFormat::Csv;
    else if (!kind.isEmpty() && kind != QLatin1String("h5"))
        throw Value(QStringLiteral("format takes \"h5\" or \"csv\""));
    if (block && (*block < 1 || *block > capture::kMaxBlockItems))
        throw Value(
            QStringLiteral("block must be a number from 1 to %1").arg(capture::kMaxBlockItems));
    settings.blockItems = block.value_or(capture::kAutoBlockItems);
    if (!duration.is_none() && samples)
        throw Value(QStringLiteral("duration and samples do not go together"));
    if (!duration.is_none()) {
        settings.stop = capture::StopRule::Duration;
        settings.durationMs = Milliseconds(duration, "duration");
    }
    if (samples) {
        if (*samples < 1)
            throw Value(QStringLiteral("samples must be 1 or more"));
        settings.stop = capture::StopRule::Samples;
        settings.samples = *samples;
    }
    settings.splitMs = Milliseconds(split, "split");
    settings.force = force;
    // 0 (the default) ends the capture when the board is lost, as before.
    const bool none = reconnectWithin.is_none() || (!py::isinstance<py::str>(reconnectWithin) &&
                                                    reconnectWithin.cast<double>() == 0.0);
    if (!none)
        settings.reconnectWithinMs = Milliseconds(reconnectWithin, "reconnect_within");
    return settings;
}

py::dict CaptureSummary(const capture::CaptureResult &result, const QString &lastFile) {
    py::dict d;
    d["stopped_by"] = Str(result.stoppedBy);
    d["samples"] = result.samples;
    d["seconds"] = result.seconds;
    d["blocks"] = result.blocks;
    d["files"] = result.files;
    d["dead_seconds"] = result.deadSeconds;
    d["longest_dead_seconds"] = result.longestDeadSeconds;
    d["clipped_samples"] = result.clippedSamples;
    d["path"] = Str(lastFile);
    py::list losses;
    double lost = 0.0;
    for (const capture::GapRecord &loss : result.losses) {
        py::dict one;
        one["start_utc"] = Str(loss.startUtc);
        one["start_s"] = loss.startSeconds;
        one["cause"] = Str(loss.cause);
        one["length_s"] = loss.lengthSeconds;
        one["lost_conversions"] = loss.lost;
        losses.append(one);
        lost += loss.lengthSeconds;
    }
    d["losses"] = losses;
    d["lost_seconds"] = lost;
    return d;
}

} // namespace pellorin_py
