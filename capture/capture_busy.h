#pragma once
// The capture counts as an acquisition: while it runs, the panels' Write and Read and "Start
// get ADC data" are refused as during one.

#include "platform/busy_flags.h"

namespace capture {

class AcquisitionBusy {
  public:
    AcquisitionBusy() { g_acquiring = 1; }
    ~AcquisitionBusy() { g_acquiring = 0; }
    AcquisitionBusy(const AcquisitionBusy &) = delete;
    AcquisitionBusy &operator=(const AcquisitionBusy &) = delete;
};

// True when an acquisition, a capture, a register transfer or a calibration runs.
inline bool BoardBusy() {
    return g_acquiring || g_registerBusy || g_calibrating;
}

} // namespace capture
