#pragma once
// The profile file of the VXC5420 panel: an INI file with the chip's name in [EVM] Target and
// the six register bytes in [REG] as "0x%02X" under STA, MUX, CR0, CR1, CR2 and CR3. It is
// read and written by panel_common/register_profile.h with this layout. No widgets.

#include "register_map.h"

#include "chips/common/register_profile.h"

namespace vxc5420 {

extern const char *const kChipName; // the catalogue's name (link/chip_catalog.h)
extern const panel_common::ProfileLayout kProfileLayout;

} // namespace vxc5420
