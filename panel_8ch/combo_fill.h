#pragma once
// Filling a drop-down list from a list table and finding items by their code.

#include "register_map.h"

#include <QComboBox>

namespace vxc5480 {

inline void FillCombo(QComboBox *combo, const ComboItem *table) {
    for (const ComboItem *item = table; item->flag != -1; ++item)
        combo->addItem(QString::fromLatin1(item->text), item->code);
}

// Selects the first item whose code is code; false (selection unchanged) when none has it.
inline bool SelectByCode(QComboBox *combo, int code) {
    const int index = combo->findData(code);
    if (index < 0)
        return false;
    combo->setCurrentIndex(index);
    return true;
}

} // namespace vxc5480
