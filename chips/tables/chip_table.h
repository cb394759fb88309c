#pragma once
// What the command line knows of each chip: register names by address, the chip commands,
// the profile format, the conversion facts and the multiplexer. Every entry is taken from the
// chip's own widget-free library; a chip whose library is not in this build has empty parts, and
// the commands that need them say so.

#include "chips/common/mux_layout.h"
#include "chips/common/register_profile.h"
#include "conversion/conversion_facts.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace cli {

struct CommandEntry {
    const char *name;
    uint8_t code;
    int minArgument; // the frame's first parameter; both 0 when the command takes none
    int maxArgument;
    // The panel's own message after a failure, given the detected chip's name; empty when the
    // panel has none.
    std::function<QString(const QString &chipName)> failureText;
};

struct ChipSupport {
    const char *name;
    int chipId;
    // Register names by address; empty when this build has no register map for the chip.
    std::vector<const char *> registerNames;
    // Other names a register answers to (the profile file's keys), by address, or empty.
    std::vector<const char *> registerAliases;
    std::vector<CommandEntry> commands;
    // The profile format of the chip's panel; null when this build has none for the chip.
    const panel_common::ProfileLayout *profile = nullptr;
    // What the panel's "All Regs" Write does to a whole image before it goes out (the chip's
    // fixed bits); null when the image goes as it is.
    void (*allRegsWrite)(std::span<uint8_t> image) = nullptr;
    // The chip core's conversion facts of a register image (all registers by address; an
    // empty one where they could not be read), in mode (the set-mode argument, 0 where not
    // known; a chip without modes ignores it), at the reference given or the chip's default.
    // Null when this build has no facts for the chip.
    conversion::ConversionFacts (*facts)(std::span<const uint8_t> image, int mode,
                                         std::optional<double> referenceVolts) = nullptr;
    // What the reference may be, and its default.
    conversion::ReferenceRange referenceRange;
    // The modes the set-mode command takes, firstMode to lastMode; both 0 for a chip without.
    int firstMode = 0;
    int lastMode = 0;
    // The input multiplexer: input names and MUX bytes; null when this build has none.
    const panel_common::MuxLayout *mux = nullptr;
    // The bits of a register the chip sets itself (see the chip core's ReadOnlyBits); null
    // when this build has no register map for the chip.
    uint8_t (*readOnlyBits)(int address) = nullptr;

    int registerCount() const { return static_cast<int>(registerNames.size()); }
};

// Both chips of the catalogue, in catalogue order.
const std::vector<ChipSupport> &ChipTable();

// The entry of a chip name given in any letter case, or null.
const ChipSupport *FindChipSupport(const QString &name);

// The address of a register given by name (any case, aliases too) or by number (0x0A, 10);
// -1 when the chip has no such register.
int RegisterAddress(const ChipSupport &chip, const QString &text);

const CommandEntry *FindCommand(const ChipSupport &chip, const QString &name);

// An empty string when volts (NaN where the text given was no number) lies within the chip's
// reference bounds; else "WHAT takes the reference in volts, from MIN to MAX on the CHIP".
QString ReferenceRefusal(const ChipSupport &chip, const QString &what, double volts);

// The chip core's facts of the image, in mode, at the reference given or the chip's default;
// only the reference where this build has no facts for the chip.
conversion::ConversionFacts FactsOf(const ChipSupport &chip, std::span<const uint8_t> image,
                                    int mode, std::optional<double> referenceVolts);

// Entries of the chips (one file per chip).
ChipSupport Vxc5480Support();
ChipSupport Vxc5420Support();

} // namespace cli
