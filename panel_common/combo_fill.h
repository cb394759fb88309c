#pragma once
// Filling a drop-down list from a list table and finding items by their code.

#include "chips/common/combo_item.h"

#include <QComboBox>

namespace panel_common {

inline void FillCombo(QComboBox *combo, const ComboItem *table) {
    for (const ComboItem *item = table; item->flag != -1; ++item)
        combo->addItem(QString::fromLatin1(item->text), item->code);
}

// Fills the list and selects its first item.
inline void FillAndSelectFirst(QComboBox *combo, const ComboItem *table) {
    FillCombo(combo, table);
    combo->setCurrentIndex(0);
}

// Selects the first item whose code is code; false (selection unchanged) when none has it.
inline bool SelectByCode(QComboBox *combo, int code) {
    const int index = combo->findData(code);
    if (index < 0)
        return false;
    combo->setCurrentIndex(index);
    return true;
}

} // namespace panel_common
