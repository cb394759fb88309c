// The VXC5480 as the command line sees it, from the 8-channel panel's widget-free library.

#include "chip_table.h"

#include "chips/vxc5480/chip_commands.h"
#include "chips/vxc5480/chip_facts.h"
#include "chips/vxc5480/profile_8ch.h"
#include "chips/vxc5480/register_map.h"
#include "link/chip_catalog.h"

namespace cli {

ChipSupport Vxc5480Support() {
    ChipSupport chip;
    chip.name = vxc5480::kChipName;
    chip.chipId = chip_id::kVxc5480;
    chip.registerNames.assign(vxc5480::kRegisterLabels,
                              vxc5480::kRegisterLabels + vxc5480::kRegisterCount);
    chip.registerAliases.assign(vxc5480::kProfileKeys,
                                vxc5480::kProfileKeys + vxc5480::kRegisterCount);
    for (const vxc5480::ChipCommand &c : vxc5480::ChipCommands()) {
        CommandEntry entry{c.name, c.code, 0, 0, {}};
        if (c.failure)
            entry.failureText = [text = c.failure](const QString &) {
                return QString::fromLatin1(text);
            };
        chip.commands.push_back(entry);
    }
    chip.profile = &vxc5480::kProfileLayout;
    // The chip has no modes.
    chip.facts = [](std::span<const uint8_t> image, int, std::optional<double> referenceVolts) {
        return vxc5480::Facts(image, referenceVolts);
    };
    chip.referenceRange = vxc5480::kReferenceRange;
    chip.mux = &vxc5480::kMuxLayout;
    chip.readOnlyBits = [](int address) { return vxc5480::ReadOnlyBits(address); };
    return chip;
}

} // namespace cli
