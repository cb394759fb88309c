#pragma once
// The VXC5480's conversion facts from its register image: the one place where gain, data rate,
// reference, span and settling are worked out for this chip. No Qt.

#include "conversion/conversion_facts.h"

#include <cstdint>
#include <optional>
#include <span>

namespace vxc5480 {

// The reference the board carries, as the Power & Ref page shows it ("2.5V").
constexpr double kDefaultReferenceVolts = 2.5;
// What a reference of this chip can be: the range a user may give.
constexpr double kMinReferenceVolts = 0.5;
constexpr double kMaxReferenceVolts = 2.6;
constexpr conversion::ReferenceRange kReferenceRange{kDefaultReferenceVolts, kMinReferenceVolts,
                                                     kMaxReferenceVolts};

// Facts of an image of all registers, by address (a shorter image gives no gain and no rate).
// Without a reference given, the board's own (kDefaultReferenceVolts).
conversion::ConversionFacts Facts(std::span<const uint8_t> image,
                                  std::optional<double> referenceVolts = std::nullopt);

// Conversions that still settle after a MUX or configuration write at this data rate.
int SettlingConversions(double dataRateSps);

} // namespace vxc5480
