#include "chip_catalog.h"

const ChipCatalogEntry g_chipCatalog[] = {
    {1, chip_id::kVxc5480, chip_name::kVxc5480, 3000},
    {1, chip_id::kVxc5420, chip_name::kVxc5420, 3000},
    {-1, 0, "", 0},
};

const ChipCatalogEntry *FindChip(int chipId) {
    for (const ChipCatalogEntry *row = g_chipCatalog; row->valid != -1; ++row) {
        if (row->chipId == chipId)
            return row;
    }
    return nullptr;
}

std::string ChipNames(const char *separator) {
    std::string names;
    for (const ChipCatalogEntry *row = g_chipCatalog; row->valid != -1; ++row)
        names += (names.empty() ? "" : separator) + std::string(row->name);
    return names;
}
