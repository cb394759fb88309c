#pragma once
// UpdateMessages: the text the main window shows for a nonzero result of an update, chosen
// by the result's low byte.

#include <QString>

namespace firmware {

constexpr int kUpdateMessageCount = 23;

// Entry n of the table (0 to 22), exactly as shown.
QString UpdateMessage(int entry);

// The entry named by the low 8 bits of result; a low byte without an entry (above 22) shows
// "Update firmware fail !" and the whole result in hexadecimal, e.g. "(0x0000001F)".
QString UpdateMessageText(int result);

} // namespace firmware
