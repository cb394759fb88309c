#include "combo_item.h"

namespace panel_common {

std::vector<ComboItem> TableEntries(const ComboItem *table) {
    std::vector<ComboItem> entries;
    for (const ComboItem *item = table; item->flag != -1; ++item)
        entries.push_back(*item);
    return entries;
}

} // namespace panel_common
