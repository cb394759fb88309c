#include "number_text.h"

#include "chips/common/hex_text.h"

#include <QStringView>

#include <cctype>
#include <limits>

namespace cli {

bool ParseNumber(const QString &text, int64_t &value) {
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const QString digits = hex ? text.mid(2) : text;
    if (digits.isEmpty())
        return false;
    for (const QChar c : digits) {
        if (hex ? !isxdigit(c.toLatin1()) : (c < u'0' || c > u'9'))
            return false;
    }
    // Leading zeros count for nothing; what is left decides the size.
    qsizetype first = 0;
    while (first + 1 < digits.size() && digits.at(first) == u'0')
        ++first;
    bool ok = false;
    value = QStringView(digits).mid(first).toLongLong(&ok, hex ? 16 : 10);
    if (!ok)
        value = std::numeric_limits<int64_t>::max();
    return true;
}

bool ParseNumberIn(const QString &text, int64_t lowest, int64_t highest, int64_t &value) {
    int64_t number = 0;
    if (!ParseNumber(text, number) || number < lowest || number > highest)
        return false;
    value = number;
    return true;
}

QString NumberMessage(const QString &what, int64_t lowest, int64_t highest) {
    return QStringLiteral("%1 must be a number from %2 to %3 (decimal or 0x hex)")
        .arg(what)
        .arg(lowest)
        .arg(highest);
}

QString HexByte(uint8_t value) {
    return QStringLiteral("0x") + panel_common::HexByteText(value);
}

} // namespace cli
