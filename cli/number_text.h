#pragma once
// Numbers as typed on the command line: decimal, or hexadecimal after 0x.

#include <QString>

#include <cstdint>

namespace cli {

// The whole text must be the number; false for anything else (empty, signs, trailing text).
bool ParseNumber(const QString &text, int64_t &value);

// "0x%02X".
QString HexByte(uint8_t value);

} // namespace cli
