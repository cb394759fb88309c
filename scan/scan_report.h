#pragma once
// What the window's progress line and state line say of a scan, and what the command line adds
// after a fault. No widgets.

#include "scan_engine.h"

#include <QString>

namespace scan {

// "input 3 of 8", and ", repeat 2 of 3" when there are repeats.
QString ScanProgressText(const ScanProgress &progress);

// How the scan ended, then where MUX was left: "Scan finished: 8 inputs. MUX put back to
// 0x01."
QString ScanOutcomeText(const ScanOutcome &outcome);

// Where MUX was left; empty when the scan wrote none.
QString PutBackText(const ScanOutcome &outcome);

} // namespace scan
