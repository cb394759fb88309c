#pragma once
// Register bytes as the panels show and read them: two upper-case hex digits out, and the C
// library's reading of an unsigned hex number in. No widgets.

#include <QString>

#include <cstdint>

namespace panel_common {

// "%02X".
QString HexByteText(uint8_t value);

// An unsigned hexadecimal number as the C library reads one: leading white space, an optional
// 0x or 0X, then digits up to the first other character; empty text gives 0, and a number
// too large for 32 bits gives 0xFFFFFFFF. Only the first maxChars characters count.
uint32_t ParseHex(const QString &text, int maxChars = -1);

} // namespace panel_common
