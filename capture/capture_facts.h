#pragma once
// The facts a capture records, from what the chip's panel (or the command line's chip table)
// knows of the conversion: the same scale as the analysis window's.

#include "capture_settings.h"

#include "analysis/scale.h"

#include <QDateTime>

namespace capture {

// The reference assumed where nothing tells it (the analysis window starts from it too).
constexpr double kDefaultReferenceVolts = 2.5;

CaptureFacts MakeFacts(const QString &chipName, const std::vector<uint8_t> &registers,
                       analysis::ConversionScale scale, const QDateTime &start);

// The program's version, a.b.c.d.
QString ProgramVersion();

} // namespace capture
