// ParseHex against the C library's strtoull on any text, and the hex edit's keystroke filter:
// whatever the filter lets through parses to the number its digits spell. The first byte
// gives the character limit (-1 for none), the second how the rest is read (Latin-1 or
// UTF-16), so characters outside ASCII come too.

#include "fuzz_check.h"

#include "chips/vxc5480/register_map.h"
#include "controls/tc_edit.h"

#include <QString>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

QString textFrom(const uint8_t *data, size_t size, bool utf16) {
    if (!utf16)
        return QString::fromLatin1(reinterpret_cast<const char *>(data),
                                   static_cast<qsizetype>(size));
    QString text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text += QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    return text;
}

// What the C library makes of the text: characters outside ASCII stop a number as any other
// non-digit does; a sign, which strtoull would take, is not part of a register value.
uint32_t reference(const QString &text) {
    std::string ascii;
    for (const QChar c : text)
        ascii += c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : 'z';
    const size_t start = ascii.find_first_not_of(" \t\n\v\f\r");
    if (start != std::string::npos && (ascii[start] == '+' || ascii[start] == '-'))
        return 0;
    errno = 0;
    const unsigned long long value = std::strtoull(ascii.c_str(), nullptr, 16);
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

bool isHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    const int maxChars = data[0] % 20 - 1;
    const QString text = textFrom(data + 2, size - 2, data[1] & 1);

    const QString counted = maxChars < 0 ? text : text.left(maxChars);
    FUZZ_CHECK(vxc5480::ParseHex(text, maxChars) == reference(counted));

    QString typed;
    uint64_t spelled = 0;
    for (const QChar c : text) {
        FUZZ_CHECK(CTCEdit::AcceptsCharacter(c.unicode()) ==
                   (isHexDigit(c.unicode()) || c.unicode() == 0x08));
        if (!isHexDigit(c.unicode()))
            continue;
        typed += c;
        spelled = std::min<uint64_t>(
            spelled * 16 + static_cast<uint64_t>(QString(c).toUInt(nullptr, 16)), 0xFFFFFFFFull);
    }
    FUZZ_CHECK(vxc5480::ParseHex(typed) == spelled);
    FUZZ_CHECK(vxc5480::ParseHex(typed.toUpper()) == spelled);
    return 0;
}
