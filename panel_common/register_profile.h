#pragma once
// The profile file both panels write: an INI file with the chip's name in [EVM] Target and one
// "0x%02X" value per register in [REG], under the chip's own key names. No widgets.

#include <QString>

#include <cstdint>

namespace panel_common {

struct ProfileLayout {
    const char *chipName;    // the Target value, compared without regard to case
    const char *const *keys; // the [REG] key of each address, in address order
    int count;
};

// The text of the message shown for a profile of another chip or of none.
QString InvalidProfileMessage(const ProfileLayout &layout);

// Writes Target and then every register, in address order; false when the file could not be
// written. Other sections and keys of the file stay as they are.
bool SaveRegisterProfile(const QString &path, const ProfileLayout &layout, const uint8_t *image);

enum class ProfileLoad { Loaded, WrongChip };

// Reads every register into image when the file names this chip; a missing or malformed value
// loads as whatever hex digits lead it, or 0, cut to its low byte. A refused file changes
// nothing.
ProfileLoad LoadRegisterProfile(const QString &path, const ProfileLayout &layout, uint8_t *image);

} // namespace panel_common
