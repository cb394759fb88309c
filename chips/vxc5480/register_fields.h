#pragma once
// The register file of the VXC5480 as plain data: addresses, the field layouts of the registers
// the pages edit, the list tables, the gain and data rate they stand for. No Qt, so the virtual
// board reads the same facts as the panel.

#include "chips/common/combo_item.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vxc5480 {

enum Register : uint8_t {
    kStatus = 0x00,
    kMux = 0x01,
    kAdcon = 0x02,
    kDrate = 0x03,
    kIo = 0x04,
    kOfc0 = 0x05,
    kOfc1 = 0x06,
    kOfc2 = 0x07,
    kFsc0 = 0x08,
    kFsc1 = 0x09,
    kFsc2 = 0x0A,
};
constexpr int kRegisterCount = 11;

// The bits of a register the chip sets itself (its id, data ready, a read-only ADCON bit):
// never written, and left out when two images are compared.
constexpr uint8_t ReadOnlyBits(int address) {
    return address == kStatus ? 0xF1 : address == kAdcon ? 0x80 : 0x00;
}

// The registers' names by address, as the "All Regs" page labels its rows.
extern const char *const kRegisterLabels[kRegisterCount];

// One byte per register, indexed by address.
using RegisterImage = std::array<uint8_t, kRegisterCount>;

using panel_common::ComboItem;
using panel_common::TableEntries;

extern const ComboItem ClockOutItems[];
extern const ComboItem SensorCurrentItems[];
extern const ComboItem PgaGainItems[];
extern const ComboItem DataRateItems[];

// Tabs of the panel, in tab order.
enum Tab { kTabMux, kTabClocks, kTabGpio, kTabPower, kTabCal, kTabStatus, kTabAll, kTabCount };

// The registers "Write" sends from a tab, in frame order.
std::vector<uint8_t> WriteSequence(int tab);

// ADCON fields.
inline int PgaCode(uint8_t adcon) {
    return adcon & 0x07;
}
inline int SensorCurrentCode(uint8_t adcon) {
    return (adcon >> 3) & 0x03;
}
inline int ClockOutCode(uint8_t adcon) {
    return (adcon >> 5) & 0x03;
}
inline uint8_t WithPgaCode(uint8_t adcon, int code) {
    return (adcon & 0xF8) | (code & 0x07);
}
inline uint8_t WithSensorCurrentCode(uint8_t adcon, int code) {
    return (adcon & 0xE7) | ((code & 0x03) << 3);
}
inline uint8_t WithClockOutCode(uint8_t adcon, int code) {
    return (adcon & 0x9F) | ((code & 0x03) << 5);
}

// The gain of an ADCON byte's PGA code; code 7, which the list does not offer, gives 64 as
// code 6 does.
double PgaGain(uint8_t adcon);
// Conversions per second of a DRATE byte; 0 for a byte that is not in DataRateItems.
double DataRateSps(uint8_t drate);
// The chip spans +-2 VRef / PGA: four times the reference from one end of the codes to the other.
constexpr double kSpanPerReference = 4.0;

// MUX: input numbers 0 to 7 are AIN0 to AIN7, 8 is AINCOM; a half above 7 reads as AINCOM.
constexpr int kAinCom = 8;
constexpr int kInputCount = 9;
// "AIN0" ... "AIN7", "AINCOM", by input number.
extern const char *const kInputNames[kInputCount];
inline uint8_t MuxByte(int positive, int negative) {
    return static_cast<uint8_t>(((positive & 0x0F) << 4) | (negative & 0x0F));
}
inline int MuxPositiveInput(uint8_t mux) {
    return (mux >> 4) > 7 ? kAinCom : mux >> 4;
}
inline int MuxNegativeInput(uint8_t mux) {
    return (mux & 0x0F) > 7 ? kAinCom : mux & 0x0F;
}

// GPIO rows top to bottom are D3, D2, D1, D0.
constexpr int kGpioRows = 4;
inline uint8_t GpioLevelBit(int row) {
    return static_cast<uint8_t>(0x08 >> row);
}
inline uint8_t GpioDirectionBit(int row) {
    return static_cast<uint8_t>(0x80 >> row);
}

// STATUS fields.
inline int StatusChipId(uint8_t status) {
    return status >> 4;
}
inline bool StatusLsbFirst(uint8_t status) {
    return status & 0x08;
}
inline bool StatusBufferEnabled(uint8_t status) {
    return status & 0x02;
}
inline uint8_t WithBuffer(uint8_t status, bool on) {
    return on ? (status | 0x02) : (status & ~0x02);
}

constexpr int32_t kClockInHz = 7680000;

} // namespace vxc5480
