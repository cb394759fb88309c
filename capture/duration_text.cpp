#include "duration_text.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace capture {

int64_t ParseDuration(const QString &text) {
    static const QRegularExpression clock(QStringLiteral("^(\\d{1,6}):([0-5]\\d):([0-5]\\d)$"));
    static const QRegularExpression plain(QStringLiteral("^\\d{1,9}$"));
    const QString t = text.trimmed();
    if (const QRegularExpressionMatch m = clock.match(t); m.hasMatch()) {
        const int64_t seconds =
            m.captured(1).toLongLong() * 3600 + m.captured(2).toInt() * 60 + m.captured(3).toInt();
        return seconds * 1000;
    }
    if (plain.match(t).hasMatch())
        return t.toLongLong() * 1000;
    return -1;
}

namespace {
// Whole seconds, within what an int64_t holds (a cast beyond it, or of NaN, is undefined).
int64_t WholeSeconds(double seconds) {
    return seconds > 0 ? static_cast<int64_t>(std::floor(std::min(seconds, 9e18))) : 0;
}
} // namespace

QString FormatDuration(double seconds) {
    const int64_t whole = WholeSeconds(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg((whole / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString FormatElapsed(double seconds) {
    const int64_t tenths = WholeSeconds(seconds * 10.0);
    return QStringLiteral("%1.%2").arg(FormatDuration(tenths / 10)).arg(tenths % 10);
}

} // namespace capture
