// The VXC5420 as the command line sees it. Its register map and profile belong to the
// 2-channel panel's widget-free library; until that library is part of the build, this chip
// offers detection, acquisition and its mode command only.

#include "chip_table.h"

#include "link/frames.h"

namespace cli {

ChipSupport Vxc5420Support() {
    ChipSupport chip;
    chip.name = "VXC5420";
    chip.chipId = 2;
    // The mode list's positions 1 to 4 are the command's argument.
    chip.commands.push_back({"set-mode", command::kSetMode, 1, 4, "%1 Set Mode Command Fail !"});
    return chip;
}

} // namespace cli
