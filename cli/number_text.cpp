#include "number_text.h"

#include "panel_common/hex_text.h"

#include <cctype>

namespace cli {

bool ParseNumber(const QString &text, int64_t &value) {
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const QString digits = hex ? text.mid(2) : text;
    if (digits.isEmpty() || digits.size() > 10)
        return false;
    for (const QChar c : digits) {
        if (hex ? !isxdigit(c.toLatin1()) : !c.isDigit())
            return false;
    }
    bool ok = false;
    value = digits.toLongLong(&ok, hex ? 16 : 10);
    return ok;
}

QString HexByte(uint8_t value) {
    return QStringLiteral("0x") + panel_common::HexByteText(value);
}

} // namespace cli
