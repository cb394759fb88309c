#include "register_fields.h"

#include <algorithm>

namespace vxc5480 {

const char *const kRegisterLabels[kRegisterCount] = {
    "Status", "MUX", "ADCON", "DRATE", "IO", "OFC0", "OFC1", "OFC2", "FSC0", "FSC1", "FSC2"};

const char *const kInputNames[kInputCount] = {"AIN0", "AIN1", "AIN2", "AIN3",  "AIN4",
                                              "AIN5", "AIN6", "AIN7", "AINCOM"};

const ComboItem ClockOutItems[] = {
    {1, 0, "Off"}, {1, 1, "f_CLKIN"}, {1, 2, "f_CLKIN/2"}, {1, 3, "f_CLKIN/4"}, {-1, 0, ""},
};

const ComboItem SensorCurrentItems[] = {
    {1, 0, "Off"}, {1, 1, "0.5 uA"}, {1, 2, "2 uA"}, {1, 3, "10 uA"}, {-1, 0, ""},
};

// Code 7 has no entry: the chip has no gain for it.
const ComboItem PgaGainItems[] = {
    {1, 0, "1"},  {1, 1, "2"},  {1, 2, "4"},  {1, 3, "8"},
    {1, 4, "16"}, {1, 5, "32"}, {1, 6, "64"}, {-1, 0, ""},
};

// The leading blanks line the numbers up in the list.
const ComboItem DataRateItems[] = {
    {1, 0x03, "     2.5 SPS"},
    {1, 0x13, "        5 SPS"},
    {1, 0x23, "      10 SPS"},
    {1, 0x33, "      15 SPS"},
    {1, 0x43, "      25 SPS"},
    {1, 0x53, "      30 SPS"},
    {1, 0x63, "      50 SPS"},
    {1, 0x72, "      60 SPS"},
    {1, 0x82, "    100 SPS"},
    {1, 0x92, "    500 SPS"},
    {1, 0xA1, "  1000 SPS"},
    {1, 0xB0, "  2000 SPS"},
    {1, 0xC0, "  3750 SPS"},
    {1, 0xD0, "  7500 SPS"},
    {1, 0xE0, "15000 SPS"},
    {1, 0xF0, "30000 SPS"},
    {-1, 0, ""},
};

std::vector<uint8_t> WriteSequence(int tab) {
    // ADCON and DRATE follow every tab's own register: the gain and rate lists are always
    // visible beside the pages.
    switch (tab) {
    case kTabMux:
        return {kMux, kAdcon, kDrate};
    case kTabClocks:
    case kTabPower:
        return {kAdcon, kDrate};
    case kTabGpio:
        return {kIo, kAdcon, kDrate};
    case kTabStatus:
        return {kStatus, kAdcon, kDrate};
    case kTabAll:
        return {kStatus, kMux, kAdcon, kDrate, kIo, kOfc0, kOfc1, kOfc2, kFsc0, kFsc1, kFsc2};
    default:
        return {};
    }
}

double PgaGain(uint8_t adcon) {
    return double(1 << std::min(PgaCode(adcon), 6));
}

double DataRateSps(uint8_t drate) {
    return panel_common::EntryNumber(DataRateItems, drate);
}

} // namespace vxc5480
