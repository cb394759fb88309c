#pragma once
// The chips an EVM can carry. The chip id is byte 1 of every frame.

#include <cstdint>

// The chip ids of the catalogue, as frames carry them.
namespace chip_id {
constexpr int32_t kVxc5480 = 1; // the 8-channel chip
constexpr int32_t kVxc5420 = 2; // the 2-channel chip
} // namespace chip_id

struct ChipCatalogEntry {
    int32_t valid; // 1 for a chip, -1 for the end row
    int32_t chipId;
    const char *name; // at most 19 characters
    int32_t fourth;   // 3000 for both chips; nothing consults it
};

extern const ChipCatalogEntry g_chipCatalog[];

// The row of a chip id, or null when the catalogue does not have it.
const ChipCatalogEntry *FindChip(int chipId);
