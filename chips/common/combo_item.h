#pragma once
// One entry of a constant list-fill table, shared by both chip panels. No widgets.

#include <cstdint>
#include <vector>

namespace panel_common {

// flag is 1 for an entry and -1 for the terminator; code is the register field value; text is
// shown exactly, blanks included.
struct ComboItem {
    int32_t flag;
    int32_t code;
    const char *text;
};

// The entries of a table up to its terminator.
std::vector<ComboItem> TableEntries(const ComboItem *table);

// The number at the start of the text of the table's entry for code ("  160 SPS", "128"), or 0
// when the table has no such entry.
double EntryNumber(const ComboItem *table, int32_t code);

} // namespace panel_common
