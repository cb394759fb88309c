#pragma once
// Durations as the capture's settings take and show them: "H:MM:SS" (hours unbounded) or plain
// seconds.

#include <QString>

#include <cstdint>

namespace capture {

// Milliseconds of "H:MM:SS" or plain "SECONDS", or -1 when the text is neither
// (minutes and seconds of H:MM:SS below 60, nothing negative).
int64_t ParseDuration(const QString &text);
// "H:MM:SS" of whole seconds.
QString FormatDuration(double seconds);
// "H:MM:SS.s": a clock that visibly moves between the window's refreshes.
QString FormatElapsed(double seconds);

} // namespace capture
