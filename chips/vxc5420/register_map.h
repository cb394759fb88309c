#pragma once
// The register file of the VXC5420 as the panel models it: the plain fields and lists
// (register_fields.h) and the multiplexer's layout. No widgets.

#include "chips/common/hex_text.h"
#include "chips/common/mux_layout.h"
#include "chips/vxc5420/register_fields.h"

namespace vxc5420 {

using panel_common::HexByteText;
using panel_common::ParseHex;

// The inputs and their MUX byte for the scan and the command line; there is no common input.
extern const panel_common::MuxLayout kMuxLayout;

} // namespace vxc5420
