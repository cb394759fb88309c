#pragma once
// The VXC5420's conversion facts from its register image and the mode the board last
// confirmed: the one place where gain, data rate, reference, span and settling are worked out
// for this chip. No Qt.

#include "conversion/conversion_facts.h"

#include <cstdint>
#include <optional>
#include <span>

namespace vxc5420 {

// The reference the board's bridge is excited with, taken where nobody gives one.
constexpr double kDefaultReferenceVolts = 2.5;
// What a reference of this chip can be: the range a user may give.
constexpr double kMinReferenceVolts = 0.5;
constexpr double kMaxReferenceVolts = 5.3;
constexpr conversion::ReferenceRange kReferenceRange{kDefaultReferenceVolts, kMinReferenceVolts,
                                                     kMaxReferenceVolts};

// The set-mode command leaves no trace in the registers: a caller that did not see it says so.
constexpr int kModeUnknown = 0;
// What the facts say of the mode when it is not known.
constexpr const char *kModeUnknownText = "mode unknown: gain and rate from CR1";

// Facts of an image of all registers, by address, converted in appliedMode (1 to 4, the
// set-mode command's argument, or kModeUnknown). A fixed mode's gain and rate are its own;
// "Command Mode" and an unknown mode read CR1, and an unknown mode marks them so
// (modeKnown false). Without a reference given, kDefaultReferenceVolts. The mode is told as
// "N: " and its "Mode" list text ("4: Command Mode"), or kModeUnknownText.
conversion::ConversionFacts Facts(std::span<const uint8_t> image, int appliedMode,
                                  std::optional<double> referenceVolts = std::nullopt);

// Conversions that still settle after a MUX or configuration write: the chip's sinc4 filter
// needs four at every rate.
constexpr int kSettlingConversions = 4;

} // namespace vxc5420
