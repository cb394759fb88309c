#pragma once
// Numbers as typed on the command line, one rule for every number the program reads: decimal,
// or hexadecimal after 0x, with any number of leading zeros.

#include <QString>

#include <cstdint>

namespace cli {

// The whole text must be the number; false for anything else (empty, signs, blanks, trailing
// text). A number too large for 64 bits reads as INT64_MAX, which no range takes.
bool ParseNumber(const QString &text, int64_t &value);

// A number from lowest to highest; false when the text is not one or lies outside.
bool ParseNumberIn(const QString &text, int64_t lowest, int64_t highest, int64_t &value);

// The one message for a number that cannot be taken:
// "WHAT must be a number from LOWEST to HIGHEST (decimal or 0x hex)".
QString NumberMessage(const QString &what, int64_t lowest, int64_t highest);

// "0x%02X".
QString HexByte(uint8_t value);

} // namespace cli
