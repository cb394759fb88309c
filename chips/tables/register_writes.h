#pragma once
// The rules of a register write, as `set` and the Python module apply them: the register named
// and the value checked before the first write (a typo must not leave half a setting), then
// each write read back. No widgets.

#include "chip_table.h"

#include <QString>

#include <cstdint>

class BoardLink;

namespace cli {

struct RegisterWrite {
    int address = -1;
    uint8_t value = 0;
};

// The register named by name (name, alias or number) and a value for it: an empty string with
// write filled in, or the message: "CHIP has no register NAME", or the one number message
// about the value as the user typed the assignment ("TYPED: the value must be a number from 0
// to 255 (decimal or 0x hex)").
QString CheckRegisterWrite(const ChipSupport &chip, const QString &name, int64_t value,
                           const QString &typed, RegisterWrite &write);

// What a write and its read-back came to. result is the link's code of the step that failed.
struct WriteOutcome {
    int result = 0;
    bool wrote = false; // the write went through; the read-back then failed when result != 0
    uint8_t readBack = 0;
};

// Writes the register and reads it back, with the panels' messages on a failure.
WriteOutcome WriteAndReadBack(BoardLink &link, const RegisterWrite &write);

// "NAME reads back 0xRR after writing 0xWW": a read-back that differs (read-only bits) is a
// note, not a failure.
QString ReadBackNote(const ChipSupport &chip, const RegisterWrite &write, uint8_t readBack);

} // namespace cli
