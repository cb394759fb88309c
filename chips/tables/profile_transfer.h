#pragma once
// A chip's profile file against the chip itself, with no panel in between, as `profile load`
// and `profile save` of the command line and the Python module do it. No widgets.

#include "chip_table.h"

#include "platform/file_error.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace cli {

// The registers a profile load sends: the file's values with the "All Regs" Write's fixed bits
// applied, in address order. Refused (error.failed(), or a message) before the board is
// touched: a missing or unreadable file, a profile of another chip or of none, or, unless
// lenient, a register key that is missing or does not hold one byte in hex (the values go
// straight to the chip, with no pending image to look at first).
struct ProfileToLoad {
    std::vector<uint8_t> image;
    platform::FileError error; // the file's path and the cause
    QString message;           // InvalidProfileMessage, when the file is of no use at all
    bool unclearKeys = false;  // error says which keys; the caller adds how to load it anyway
};
ProfileToLoad ReadProfileToLoad(const ChipSupport &chip, const QString &path, bool lenient);

// The reason a profile with unclear keys is refused: "Missing or unreadable register values:
// KEY, KEY" (the caller says how to load it anyway).
QString UnclearKeysReason(const QStringList &keys);

// Whether a save may go to path, before the board is asked: the folder, the target, and the
// old profile whose other lines the save keeps.
platform::FileError CheckProfileSave(const QString &path);

// Writes the image read from the chip as the chip's profile; "Save Profile Failed !" follows
// a failure in the window's words.
platform::FileError SaveProfileOf(const ChipSupport &chip, const QString &path,
                                  const std::vector<uint8_t> &image);

} // namespace cli
