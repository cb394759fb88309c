#pragma once
// The register file of the VXC5480 as the panel models it: the plain fields and lists
// (register_fields.h), the multiplexer's layout and the texts the pages compute. No widgets.

#include "chips/common/hex_text.h"
#include "chips/common/mux_layout.h"
#include "chips/vxc5480/register_fields.h"

#include <QString>

#include <cstdint>

namespace vxc5480 {

using panel_common::HexByteText;
using panel_common::ParseHex;

// The inputs and their MUX byte for the scan and the command line; AINCOM is the common input.
extern const panel_common::MuxLayout kMuxLayout;

// "%2.6fMHz" of the clock-out frequency of a clock-out code.
QString ClockOutText(int code, int32_t clockInHz = kClockInHz);
// Two decimal digits of the chip id bits.
QString StatusIdText(uint8_t status);
// A 24-bit calibration value from its three registers, least significant first, shown most
// significant first: "%02X%02X%02X".
QString CalibrationText(const uint8_t *lowByteFirst);

} // namespace vxc5480
