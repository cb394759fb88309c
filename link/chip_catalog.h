#pragma once
// The chips an EVM can carry. The chip id is byte 1 of every frame.

#include <cstdint>
#include <string>

// The chip ids of the catalogue, as frames carry them.
namespace chip_id {
constexpr int32_t kVxc5480 = 1; // the 8-channel chip
constexpr int32_t kVxc5420 = 2; // the 2-channel chip
} // namespace chip_id

// Their names, as the module list shows them; every other text that names a chip takes them
// from here.
namespace chip_name {
inline constexpr const char *kVxc5480 = "VXC5480";
inline constexpr const char *kVxc5420 = "VXC5420";
} // namespace chip_name

struct ChipCatalogEntry {
    int32_t valid; // 1 for a chip, -1 for the end row
    int32_t chipId;
    const char *name; // at most 19 characters
    int32_t fourth;   // 3000 for both chips; nothing consults it
};

extern const ChipCatalogEntry g_chipCatalog[];

// The row of a chip id, or null when the catalogue does not have it.
const ChipCatalogEntry *FindChip(int chipId);

// The chips' names in catalogue order, joined by separator: "VXC5480|VXC5420".
std::string ChipNames(const char *separator);
