#include "combo_item.h"

#include <charconv>
#include <cstring>

namespace panel_common {
namespace {
// The number a list text starts with; locale-free, so a program started in a locale with a
// decimal comma still reads "2.5".
double LeadingNumber(const char *text) {
    while (*text == ' ')
        ++text;
    double value = 0.0;
    const auto result = std::from_chars(text, text + std::strlen(text), value);
    return result.ec == std::errc() ? value : 0.0;
}
} // namespace

std::vector<ComboItem> TableEntries(const ComboItem *table) {
    std::vector<ComboItem> entries;
    for (const ComboItem *item = table; item->flag != -1; ++item)
        entries.push_back(*item);
    return entries;
}

double EntryNumber(const ComboItem *table, int32_t code) {
    for (const ComboItem &item : TableEntries(table))
        if (item.code == code)
            return LeadingNumber(item.text);
    return 0.0;
}

} // namespace panel_common
