#pragma once
// The acquisition's messages, each with its box title: the window, the command line and the
// capture tell the same failures in the same words. No widgets.

#include "platform/message_service.h"

#include <cstdint>

namespace acquisition_message {

// The request frame could not be sent: "Send command failed !", "Error".
platform::Message SendCommandFailed();
// Item index (from 0; a capture counts across its blocks) did not arrive: "Get item %1 failed !",
// "Error !".
platform::Message GetItemFailed(int64_t index);
// The first item whose checksum is wrong: "The checksum of item %1 is invalid !", "Error !".
platform::Message ItemChecksumInvalid(int64_t index);
// A count above kMaxDataCount: "Data count should be less than 65536 !", "Error occured !".
platform::Message DataCountTooLarge();
// The data files: "Save ADC Raw Data Failed !" and "Save ADC Data Failed !", "Error occured !".
platform::Message SaveRawDataFailed();
platform::Message SaveDataFailed();

// Shows message in a box owned by owner (null: no owner).
void Tell(QObject *owner, const platform::Message &message);

} // namespace acquisition_message
