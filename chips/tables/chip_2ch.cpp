// The VXC5420 as the command line sees it, from the 2-channel panel's widget-free library.

#include "chip_table.h"

#include "chips/vxc5420/chip_commands.h"
#include "chips/vxc5420/chip_facts.h"
#include "chips/vxc5420/profile_2ch.h"
#include "chips/vxc5420/register_map.h"
#include "link/chip_catalog.h"
#include "link/frames.h"

namespace cli {

ChipSupport Vxc5420Support() {
    ChipSupport chip;
    chip.name = vxc5420::kChipName;
    chip.chipId = chip_id::kVxc5420;
    // The "All Regs" rows and the profile keys use the same names.
    chip.registerNames.assign(vxc5420::kRegisterNames,
                              vxc5420::kRegisterNames + vxc5420::kRegisterCount);
    // The mode list's positions plus one are the command's argument; the panel's own message
    // follows a failure.
    chip.commands.push_back({"set-mode", command::kSetMode, vxc5420::kFirstMode,
                             vxc5420::kCommandMode, &vxc5420::SetModeFailureText});
    chip.profile = &vxc5420::kProfileLayout;
    chip.allRegsWrite = &vxc5420::ApplyForcedBits;
    // The mode is no register: the command line knows it only from --mode; without it the
    // core reads CR1 and says the gain and rate are not known for sure.
    chip.facts = &vxc5420::Facts;
    chip.referenceRange = vxc5420::kReferenceRange;
    chip.firstMode = vxc5420::kFirstMode;
    chip.lastMode = vxc5420::kCommandMode;
    chip.mux = &vxc5420::kMuxLayout;
    chip.readOnlyBits = [](int address) { return vxc5420::ReadOnlyBits(address); };
    return chip;
}

} // namespace cli
