#include "combo_item.h"

#include <QString>

namespace panel_common {

std::vector<ComboItem> TableEntries(const ComboItem *table) {
    std::vector<ComboItem> entries;
    for (const ComboItem *item = table; item->flag != -1; ++item)
        entries.push_back(*item);
    return entries;
}

double EntryNumber(const ComboItem *table, int32_t code) {
    for (const ComboItem &item : TableEntries(table))
        if (item.code == code)
            return QString::fromLatin1(item.text)
                .remove(QStringLiteral("SPS"))
                .trimmed()
                .toDouble();
    return 0.0;
}

} // namespace panel_common
