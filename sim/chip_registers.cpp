#include "sim/chip_registers.h"

#include "chips/vxc5420/chip_facts.h"
#include "chips/vxc5420/register_fields.h"
#include "chips/vxc5480/chip_facts.h"
#include "chips/vxc5480/register_fields.h"

#include <algorithm>
#include <span>

namespace sim {
namespace {

// The slowest rate a chip's rate list offers: the rate its noise figures are given at.
double SlowestRate(Chip chip) {
    double slowest = 0.0;
    auto consider = [&slowest](double rate) {
        if (rate > 0 && (slowest == 0.0 || rate < slowest))
            slowest = rate;
    };
    if (chip == Chip::VXC5480) {
        for (const panel_common::ComboItem &item : vxc5480::TableEntries(vxc5480::DataRateItems))
            consider(vxc5480::DataRateSps(static_cast<uint8_t>(item.code)));
    } else {
        for (const panel_common::ComboItem &item : vxc5420::TableEntries(vxc5420::RateItems))
            consider(vxc5420::DataRateSps(item.code));
    }
    return slowest;
}

uint32_t Unsigned24(const std::array<uint8_t, 16> &regs, uint8_t first) {
    return regs[first] | (regs[first + 1] << 8) | (regs[first + 2] << 16);
}

void Store24(std::array<uint8_t, 16> &regs, uint8_t first, uint32_t value) {
    regs[first] = value & 0xFF;
    regs[first + 1] = (value >> 8) & 0xFF;
    regs[first + 2] = (value >> 16) & 0xFF;
}

} // namespace

ChipState::ChipState(Chip chip) : chip_(chip) {
    if (chip_ == Chip::VXC5480) {
        regs_[reg8::kStatus] = reg8::kChipIdNibble << 4;
        regs_[reg8::kMux] = 0x01;
        regs_[reg8::kAdcon] = 0x20;
        regs_[reg8::kDrate] = 0xF0;
        regs_[reg8::kIo] = 0xE1;
        setOffsetCalibration(0);
        setGainCalibration(kUnityGainCalibration);
    } else {
        regs_[reg2::kSta] = 0x02;
        regs_[reg2::kMux] = 0x10;
        regs_[reg2::kCr0] = 0x40;
        regs_[reg2::kCr1] = 0x70;
        regs_[reg2::kCr2] = 0x30;
        regs_[reg2::kCr3] = 0x00;
    }
    refreshFacts();
}

void ChipState::refreshFacts() {
    const std::span<const uint8_t> image(regs_.data(), static_cast<size_t>(registerCount()));
    const conversion::ConversionFacts facts =
        chip_ == Chip::VXC5480 ? vxc5480::Facts(image) : vxc5420::Facts(image, mode_);
    pgaGain_ = static_cast<int>(facts.pgaGain);
    dataRateSps_ = facts.dataRateSps;
    spanPerReference_ = facts.spanPerReference;
    settlingConversions_ = facts.settlingConversions;
}

int ChipState::registerCount() const {
    return chip_ == Chip::VXC5480 ? 11 : 6;
}

uint8_t ChipState::readOnlyMask(uint8_t address) const {
    if (chip_ == Chip::VXC5480) {
        switch (address) {
        case reg8::kStatus:
            return 0xF1;
        case reg8::kAdcon:
            return 0x80;
        default:
            return 0x00;
        }
    }
    static constexpr std::array<uint8_t, 6> kMasks{0x01, 0x6E, 0xF9, 0x88, 0xFE, 0xFD};
    return address < kMasks.size() ? kMasks[address] : 0xFF;
}

uint8_t ChipState::fixedBits(uint8_t address) const {
    if (chip_ == Chip::VXC5480)
        return address == reg8::kStatus ? reg8::kChipIdNibble << 4 : 0x00;
    if (address == reg2::kCr0)
        return 0x40;
    if (address == reg2::kCr2)
        return 0x30;
    return 0x00;
}

uint8_t ChipState::read(uint8_t address) const {
    if (!hasRegister(address))
        return 0;
    uint8_t value = regs_[address];
    const bool notConverting = power_ != PowerState::Active;
    if (address == 0) // STATUS / STA: bit 0 is data-ready, low while conversions run
        value = (value & 0xFE) | (notConverting ? 1 : 0);
    if (chip_ == Chip::VXC5480 && address == reg8::kIo) {
        const uint8_t inputs = value >> 4;
        const uint8_t levels = (value & ~inputs & 0x0F) | (gpioInputs_ & inputs);
        value = static_cast<uint8_t>((value & 0xF0) | levels);
    }
    return value;
}

void ChipState::write(uint8_t address, uint8_t value) {
    if (!hasRegister(address))
        return;
    const uint8_t readOnly = readOnlyMask(address);
    regs_[address] = (value & ~readOnly) | (fixedBits(address) & readOnly);
    refreshFacts();
}

void ChipState::poke(uint8_t address, uint8_t value) {
    if (address < regs_.size())
        regs_[address] = value;
    refreshFacts();
}

void ChipState::setMode(int mode) {
    if (chip_ != Chip::VXC5420 || mode < 1 || mode > 4)
        return;
    mode_ = mode;
    // A fixed mode loads CR1 with its own gain and rate; the lists' positions are the codes.
    vxc5420::FixedSelection fixed{};
    if (vxc5420::FixedModeSelection(mode_, fixed))
        regs_[reg2::kCr1] =
            vxc5420::WithRateCode(vxc5420::WithPgaCode(0, fixed.pgaPosition), fixed.ratePosition);
    refreshFacts();
}

double ChipState::slowestDataRateSps() const {
    static const double slowest8 = SlowestRate(Chip::VXC5480);
    static const double slowest2 = SlowestRate(Chip::VXC5420);
    return chip_ == Chip::VXC5480 ? slowest8 : slowest2;
}

int ChipState::positiveInput() const {
    if (chip_ == Chip::VXC5480) {
        const int n = regs_[reg8::kMux] >> 4;
        return n > 8 ? 8 : n;
    }
    return (regs_[reg2::kMux] >> 4) & 1;
}

int ChipState::negativeInput() const {
    if (chip_ == Chip::VXC5480) {
        const int n = regs_[reg8::kMux] & 0x0F;
        return n > 8 ? 8 : n;
    }
    return regs_[reg2::kMux] & 1;
}

bool ChipState::inputsShorted() const {
    return chip_ == Chip::VXC5420 && (regs_[reg2::kMux] & reg2::kMuxShort) != 0;
}

bool ChipState::measuresSupplyDifference() const {
    return chip_ == Chip::VXC5420 && mode_ == reg2::kSupplyMode;
}

double ChipState::fullScaleSpanVolts(double referenceVolts) const {
    // The facts give the span from one end of the codes to the other; half of it is positive.
    return spanPerReference_ * referenceVolts / 2.0 / pgaGain_;
}

bool ChipState::autoCalibration() const {
    return chip_ == Chip::VXC5480 && (regs_[reg8::kStatus] & reg8::kStatusAcal) != 0;
}

int32_t ChipState::offsetCalibration() const {
    const uint32_t raw = Unsigned24(regs_, reg8::kOfc0);
    return (raw & 0x800000) ? static_cast<int32_t>(raw) - 0x1000000 : static_cast<int32_t>(raw);
}

uint32_t ChipState::gainCalibration() const {
    return Unsigned24(regs_, reg8::kFsc0);
}

void ChipState::setOffsetCalibration(int32_t offset) {
    if (offset > 0x7FFFFF)
        offset = 0x7FFFFF;
    if (offset < -0x800000)
        offset = -0x800000;
    Store24(regs_, reg8::kOfc0, static_cast<uint32_t>(offset) & 0xFFFFFF);
}

void ChipState::setGainCalibration(uint32_t gain) {
    Store24(regs_, reg8::kFsc0, gain > 0xFFFFFF ? 0xFFFFFF : gain);
}

} // namespace sim
