#pragma once
// The chip commands the VXC5480's pages send (calibrations and power states): their codes,
// the names the command line knows them by, and the panel's own failure text. No widgets.

#include <cstdint>
#include <vector>

namespace vxc5480 {

struct ChipCommand {
    const char *name;    // command-line name, e.g. "self-offset"
    uint8_t code;        // command code of the frame
    const char *failure; // the page's message after a failure, or null for none of its own
};

// In the order of the pages: the five calibrations, then power down, standby, wake-up.
const std::vector<ChipCommand> &ChipCommands();

// The entry of a command code, or null.
const ChipCommand *FindChipCommand(uint8_t code);

} // namespace vxc5480
