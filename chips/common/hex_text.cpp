#include "hex_text.h"

#include <algorithm>

namespace panel_common {

QString HexByteText(uint8_t value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

uint32_t ParseHex(const QString &text, int maxChars) {
    const QString s = maxChars >= 0 ? text.left(maxChars) : text;
    auto digitAt = [&s](qsizetype i) {
        if (i >= s.size())
            return -1;
        const char16_t c = s.at(i).unicode();
        if (c >= u'0' && c <= u'9')
            return c - u'0';
        if (c >= u'a' && c <= u'f')
            return c - u'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c - u'A' + 10;
        return -1;
    };
    qsizetype i = 0;
    while (i < s.size() && (s.at(i) == u' ' || (s.at(i) >= u'\t' && s.at(i) <= u'\r')))
        ++i;
    // "0x" is a prefix only when a digit follows it: "0xg" is the number 0.
    if (digitAt(i) == 0 && i + 1 < s.size() && (s.at(i + 1) == u'x' || s.at(i + 1) == u'X') &&
        digitAt(i + 2) >= 0)
        i += 2;
    uint64_t value = 0;
    for (; digitAt(i) >= 0; ++i) {
        // Saturates past 32 bits, as the C library does.
        value = std::min<uint64_t>(value * 16 + static_cast<uint64_t>(digitAt(i)), 0xFFFFFFFFull);
    }
    return static_cast<uint32_t>(value);
}

} // namespace panel_common
