#include "chip_catalog.h"

const ChipCatalogEntry g_chipCatalog[] = {
    {1, chip_id::kVxc5480, "VXC5480", 3000},
    {1, chip_id::kVxc5420, "VXC5420", 3000},
    {-1, 0, "", 0},
};

const ChipCatalogEntry *FindChip(int chipId) {
    for (const ChipCatalogEntry *row = g_chipCatalog; row->valid != -1; ++row) {
        if (row->chipId == chipId)
            return row;
    }
    return nullptr;
}
