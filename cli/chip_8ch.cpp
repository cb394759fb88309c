// The VXC5480 as the command line sees it, from the 8-channel panel's widget-free library.

#include "chip_table.h"

#include "panel_8ch/chip_commands.h"
#include "panel_8ch/profile_8ch.h"
#include "panel_8ch/register_map.h"

#include <algorithm>

namespace cli {

namespace {
bool save(const QString &path, const std::vector<uint8_t> &image) {
    vxc5480::RegisterImage bytes{};
    std::copy_n(image.begin(), std::min(image.size(), bytes.size()), bytes.begin());
    return vxc5480::SaveRegisterProfile(path, bytes);
}

ProfileLoad load(const QString &path, std::vector<uint8_t> &image) {
    vxc5480::RegisterImage bytes{};
    if (vxc5480::LoadRegisterProfile(path, bytes) != vxc5480::ProfileLoad::Loaded)
        return ProfileLoad::WrongChip;
    image.assign(bytes.begin(), bytes.end());
    return ProfileLoad::Loaded;
}
} // namespace

ChipSupport Vxc5480Support() {
    ChipSupport chip;
    chip.name = vxc5480::kChipName;
    chip.chipId = 1;
    chip.registerNames.assign(vxc5480::kRegisterLabels,
                              vxc5480::kRegisterLabels + vxc5480::kRegisterCount);
    chip.registerAliases.assign(vxc5480::kProfileKeys,
                                vxc5480::kProfileKeys + vxc5480::kRegisterCount);
    for (const vxc5480::ChipCommand &c : vxc5480::ChipCommands())
        chip.commands.push_back({c.name, c.code, 0, 0, c.failure});
    chip.saveProfile = save;
    chip.loadProfile = load;
    chip.invalidProfileMessage = vxc5480::InvalidProfileMessage;
    return chip;
}

} // namespace cli
