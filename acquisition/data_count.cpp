#include "data_count.h"

#include <cstdint>

int ParseDataCount(const QString &text) {
    const QString head = text.left(9);
    qsizetype i = 0;
    while (i < head.size() && head.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < head.size() && (head.at(i) == QLatin1Char('+') || head.at(i) == QLatin1Char('-'))) {
        negative = head.at(i) == QLatin1Char('-');
        ++i;
    }
    int64_t value = 0;
    for (; i < head.size() && head.at(i) >= QLatin1Char('0') && head.at(i) <= QLatin1Char('9'); ++i)
        value = value * 10 + (head.at(i).unicode() - '0');
    return static_cast<int>(negative ? -value : value);
}

StartCount CountForStart(const QString &text) {
    const int count = ParseDataCount(text);
    if (count == 0)
        return {kDefaultDataCount, true};
    return {count, false};
}

bool DataCountTooLarge(const QString &text) {
    return text.size() == 5 && ParseDataCount(text) > kMaxDataCount;
}
