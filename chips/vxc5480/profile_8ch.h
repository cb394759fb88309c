#pragma once
// The profile file of the VXC5480 panel: an INI file with the chip's name in [EVM] Target
// and the eleven register bytes in [REG] as "0x%02X". No widgets.

#include "register_map.h"

#include "chips/common/register_profile.h"

#include <QString>

namespace vxc5480 {

extern const char *const kChipName; // the catalogue's name (link/chip_catalog.h)
extern const char *const kProfileKeys[kRegisterCount];
extern const panel_common::ProfileLayout kProfileLayout;

// The text of the message shown for a profile of another chip or of none.
QString InvalidProfileMessage();

// Writes Target and the eleven registers of image; false when the file could not be written.
bool SaveRegisterProfile(const QString &path, const RegisterImage &image);

using panel_common::ProfileLoad;

// Reads the eleven registers into image when the file names this chip; a missing or
// malformed value loads as whatever hex digits lead it, or 0. A refused file changes nothing.
ProfileLoad LoadRegisterProfile(const QString &path, RegisterImage &image);

} // namespace vxc5480
