#include "register_fields.h"

#include <algorithm>

namespace vxc5420 {

const char *const kRegisterNames[kRegisterCount] = {"STA", "MUX", "CR0", "CR1", "CR2", "CR3"};

const char *const kInputNames[kInputCount] = {"AIN0", "AIN1"};

// The trailing blank of the first entry is part of its text.
const ComboItem ModeItems[] = {
    {1, 1, "PGA 128 / 10 SPS "},
    {1, 2, "PGA 1 / 40 SPS (DVDD-AVDD)"},
    {1, 3, "PGA 128 / 40 SPS"},
    {1, 4, "Command Mode"},
    {-1, 0, ""},
};

const ComboItem PgaItems[] = {
    {1, 0, "1"},  {1, 1, "2"},  {1, 2, "4"},   {1, 3, "8"}, {1, 4, "16"},
    {1, 5, "32"}, {1, 6, "64"}, {1, 7, "128"}, {-1, 0, ""},
};

// The leading blanks line the numbers up in the list.
const ComboItem RateItems[] = {
    {1, 0, "    10 SPS"}, {1, 1, "    20 SPS"}, {1, 2, "    40 SPS"},
    {1, 3, "    80 SPS"}, {1, 4, "  160 SPS"},  {1, 5, "  320 SPS"},
    {1, 6, "  640 SPS"},  {1, 7, "1280 SPS"},   {-1, 0, ""},
};

bool FixedModeSelection(int mode, FixedSelection &selection) {
    switch (mode) {
    case 1: // PGA 128 / 10 SPS
        selection = {7, 0};
        return true;
    case 2: // PGA 1 / 40 SPS
        selection = {0, 2};
        return true;
    case 3: // PGA 128 / 40 SPS
        selection = {7, 2};
        return true;
    default:
        return false;
    }
}

uint8_t ForcedBits(int address, uint8_t value) {
    switch (address) {
    case kSta:
        return value | 0x02;
    case kMux:
        return value & 0x91;
    case kCr0:
        return (value & 0x06) | 0x40;
    case kCr1:
        return value & 0x77;
    case kCr2:
        return (value & 0x01) | 0x30;
    case kCr3:
        return value & 0x02;
    default:
        return value;
    }
}

void ApplyForcedBits(std::span<uint8_t> image) {
    const auto count = std::min<size_t>(image.size(), kRegisterCount);
    for (size_t address = 0; address < count; ++address)
        image[address] = ForcedBits(static_cast<int>(address), image[address]);
}

double PgaGain(int pgaCode) {
    return panel_common::EntryNumber(PgaItems, pgaCode);
}

double DataRateSps(int rateCode) {
    return panel_common::EntryNumber(RateItems, rateCode);
}

} // namespace vxc5420
