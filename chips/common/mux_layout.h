#pragma once
// What a chip's input multiplexer offers, in one shape for both chips: the inputs by number
// and name, the common input single-ended measurements use, the MUX byte that selects a pair
// and the span of the input between a pair. Each chip's widget-free core fills one
// (vxc5480::kMuxLayout, vxc5420::kMuxLayout); the panels' MUX pages, the command line and the input
// scan read it. No widgets.

#include <QString>

#include <cstdint>

namespace panel_common {

struct MuxLayout {
    uint8_t address;               // of the MUX register
    const char *const *inputNames; // by input number: "AIN0", "AIN1" ...
    int inputCount;
    int commonInput; // the input single-ended measurements use as AIN-, or -1 when none
    // The MUX byte that selects positive and negative, made from the byte the chip held
    // before, whose bits the chip's own rule keeps.
    uint8_t (*muxByte)(uint8_t before, int positive, int negative);
    // The input span from one end of the codes to the other, per volt of reference at gain 1
    // (4 for +-2 VRef / PGA, 2 for +-VRef / PGA).
    double spanPerReference;
};

// The name of an input; an empty string for a number the chip does not have.
QString InputName(const MuxLayout &layout, int input);
// The number of an input named in any letter case ("ain3", "AINCOM"); -1 when unknown.
int FindInput(const MuxLayout &layout, const QString &name);
// AIN+ and AIN- may not select the same input; both must exist.
bool IsInputPair(const MuxLayout &layout, int positive, int negative);

} // namespace panel_common
