#pragma once
// The profile file both panels write: an INI file with the chip's name in [EVM] Target and one
// "0x%02X" value per register in [REG], under the chip's own key names. No widgets.

#include "platform/file_error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace panel_common {

struct ProfileLayout {
    const char *chipName;    // the Target value, compared without regard to case
    const char *const *keys; // the [REG] key of each address, in address order
    int count;
};

// The text of the message shown for a profile of another chip or of none.
QString InvalidProfileMessage(const ProfileLayout &layout);

// Writes Target and then every register, in address order. Other sections and keys of the
// file stay as they are. On failure the error names the file and the cause (the old file
// cannot be read, or the new one cannot be written), and the old file is as it was.
platform::FileError SaveRegisterProfile(const QString &path, const ProfileLayout &layout,
                                        const uint8_t *image);

enum class ProfileLoad { Loaded, WrongChip, Unreadable };

// Reads every register into image when the file's bytes name this chip; a missing or malformed
// value loads as whatever hex digits lead it, or 0, cut to its low byte. A refused file changes
// nothing.
ProfileLoad RegistersFromProfile(const QByteArray &bytes, const ProfileLayout &layout,
                                 uint8_t *image);

// The same from the file at path; Unreadable, with the reason in error, when the file cannot be
// read (a folder, a FIFO or device, a file above the profile size limit).
ProfileLoad LoadRegisterProfile(const QString &path, const ProfileLayout &layout, uint8_t *image,
                                platform::FileError *error = nullptr);

// The [REG] keys, in address order, whose value is missing or is not one byte in hex ("0x5A",
// "5a", "0x005A"; not "", "0x1FF" or "5A;"): those a load would quietly turn into a number.
QStringList UnclearRegisterKeys(const QByteArray &bytes, const ProfileLayout &layout);

} // namespace panel_common
