#include "chip_commands.h"

#include "link/frames.h"

namespace vxc5480 {

const std::vector<ChipCommand> &ChipCommands() {
    // The self calibration reports its failure as the self gain one does; users and manuals
    // of the board know that text, so it stays.
    static const std::vector<ChipCommand> commands = {
        {"self-calibration", command::kSelfCalibration, "Self gain calibration failed !"},
        {"self-offset", command::kSelfOffsetCalibration, "Self offset calibration failed !"},
        {"self-gain", command::kSelfGainCalibration, "Self gain calibration failed !"},
        {"system-offset", command::kSystemOffsetCalibration, "System offset calibration failed !"},
        {"system-gain", command::kSystemGainCalibration, "System gain calibration failed !"},
        {"power-down", command::kPowerDown, nullptr},
        {"standby", command::kStandby, nullptr},
        {"wake-up", command::kWakeup, nullptr},
    };
    return commands;
}

const ChipCommand *FindChipCommand(uint8_t code) {
    for (const ChipCommand &c : ChipCommands()) {
        if (c.code == code)
            return &c;
    }
    return nullptr;
}

} // namespace vxc5480
