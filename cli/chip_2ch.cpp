// The VXC5420 as the command line sees it, from the 2-channel panel's widget-free library.

#include "chip_table.h"

#include "link/chip_catalog.h"
#include "link/frames.h"
#include "panel_2ch/chip_commands.h"
#include "panel_2ch/profile_2ch.h"
#include "panel_2ch/register_map.h"

namespace cli {

namespace {
// CR1's gain and rate: what the chip converts with in "Command Mode". The fixed modes are the
// panel's to know (the set-mode command leaves no trace in the registers).
analysis::ConversionScale ScaleOf(const std::vector<uint8_t> &image) {
    analysis::ConversionScale scale;
    if (image.size() < vxc5420::kRegisterCount)
        return scale;
    scale.pgaGain = vxc5420::PgaGain(vxc5420::PgaCode(image[vxc5420::kCr1]));
    scale.sampleRateHz = vxc5420::DataRateSps(vxc5420::RateCode(image[vxc5420::kCr1]));
    scale.spanPerReference = vxc5420::kSpanPerReference;
    return scale;
}
} // namespace

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
    // The mode is no register: the rate and the gain are CR1's (the virtual board loads CR1
    // with a fixed mode's gain and rate).
    chip.sampleRateHz = [](const std::vector<uint8_t> &registers) {
        return vxc5420::DataRateSps(vxc5420::RateCode(registers.at(vxc5420::kCr1)));
    };
    chip.allRegsWrite = &vxc5420::ApplyForcedBits;
    chip.scaleOf = ScaleOf;
    chip.mux = &vxc5420::kMuxLayout;
    return chip;
}

} // namespace cli
