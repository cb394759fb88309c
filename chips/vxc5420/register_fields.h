#pragma once
// The register file of the VXC5420 as plain data: six registers, the field layouts the panel
// edits, the bits an "All Regs" Write forces, the mode list and the gain and data-rate lists.
// No Qt, so the virtual board reads the same facts as the panel.

#include "chips/common/combo_item.h"

#include <array>
#include <cstdint>
#include <span>

namespace vxc5420 {

using panel_common::ComboItem;
using panel_common::TableEntries;

// Register addresses, 0x00 to 0x05.
enum Register : uint8_t { kSta, kMux, kCr0, kCr1, kCr2, kCr3 };

// The bits of each register the chip sets itself or keeps fixed: never written, and left out
// when two images are compared.
constexpr uint8_t ReadOnlyBits(int address) {
    constexpr uint8_t kMasks[] = {0x01, 0x6E, 0xF9, 0x88, 0xFE, 0xFD};
    return address >= 0 && address < 6 ? kMasks[address] : 0xFF;
}
constexpr int kRegisterCount = 6;

// One byte per register, indexed by address; nothing beyond CR3 is read, written or shown.
using RegisterImage = std::array<uint8_t, kRegisterCount>;

// The register names, in address order, as the "All Regs" rows and the profile keys use them.
extern const char *const kRegisterNames[kRegisterCount];

extern const ComboItem ModeItems[];
extern const ComboItem PgaItems[];
extern const ComboItem RateItems[];

// Modes as the set-mode command (0x0D) takes them: the list position plus one.
constexpr int kFirstMode = 1;
constexpr int kCommandMode = 4;

// The gain and rate list positions a fixed mode shows; false for "Command Mode", whose lists
// the user sets.
struct FixedSelection {
    int pgaPosition;
    int ratePosition;
};
bool FixedModeSelection(int mode, FixedSelection &selection);

// The gain and conversions per second of a "PGA Gain" and a "Data Rate" code (CR1 fields, or
// the list positions a fixed mode shows); 0 for a code the lists do not have.
double PgaGain(int pgaCode);
double DataRateSps(int rateCode);
// The chip spans +-VRef / PGA: twice the reference from one end of the codes to the other.
constexpr double kSpanPerReference = 2.0;

// CR1: gain code in bits 6:4, data-rate code in bits 2:0; setting either clears bits 7 and 3.
inline int PgaCode(uint8_t cr1) {
    return (cr1 >> 4) & 0x07;
}
inline int RateCode(uint8_t cr1) {
    return cr1 & 0x07;
}
inline uint8_t WithPgaCode(uint8_t cr1, int code) {
    return static_cast<uint8_t>(((cr1 & 0x07) | (code << 4)) & 0xFF);
}
inline uint8_t WithRateCode(uint8_t cr1, int code) {
    return static_cast<uint8_t>((cr1 & 0x70) | code);
}

// MUX: bit 4 is AIN+ (0 = AIN0, 1 = AIN1), bit 0 is AIN-. Choosing one input clears bits 6:5
// and 3:1, keeps bit 7 and the other input's bit.
inline int MuxPositiveInput(uint8_t mux) {
    return (mux >> 4) & 1;
}
inline int MuxNegativeInput(uint8_t mux) {
    return mux & 1;
}
inline uint8_t WithPositiveInput(uint8_t mux, int input) {
    return static_cast<uint8_t>(((input << 4) | (mux & 0x81)) & 0xFF);
}
inline uint8_t WithNegativeInput(uint8_t mux, int input) {
    return static_cast<uint8_t>(input | (mux & 0x90));
}
// Both inputs chosen at once, as the MUX page's two clicks would: bit 7 of the byte before
// stays, every other bit follows the pair.
inline uint8_t MuxByte(uint8_t before, int positive, int negative) {
    return WithNegativeInput(WithPositiveInput(before, positive), negative);
}
constexpr int kInputCount = 2;
// "AIN0", "AIN1", by input number.
extern const char *const kInputNames[kInputCount];

// CR0: bit 1 enables the input buffer; bit 6 is always set and bit 2 kept.
inline bool BufferEnabled(uint8_t cr0) {
    return cr0 & 0x02;
}
inline uint8_t WithBuffer(uint8_t cr0, bool on) {
    return static_cast<uint8_t>((cr0 & 0x04) | (on ? 0x42 : 0x40));
}

// What an "All Regs" Write sends for a typed value: the chip's fixed bits set, bits it does
// not implement cleared.
uint8_t ForcedBits(int address, uint8_t value);
// The same for a whole image, register by register, as the "All Regs" Write and the command
// line's profile load send it. Bytes beyond CR3 are left alone.
void ApplyForcedBits(std::span<uint8_t> image);

} // namespace vxc5420
