#pragma once
// The firmware update: opens the board's HID update interface, sends the set-up, checks the
// identity, writes and verifies the configuration block and the image, and ends the session.
// It reports through the platform message service and needs no widgets, so the window and
// the command line run the same procedure.

#include <QByteArray>

#include <cstdint>

class QObject;

namespace firmware {

// The largest image the update accepts.
constexpr qsizetype kMaxImageSize = 1024 * 1024;

// The fixed value the opening request carries in its address field (top byte 0).
uint32_t UpdateOpenValue();

// Runs the whole update with image; owner owns the messages it shows. Returns 0 (success, or a
// failure it has already reported) or a result code whose text the caller shows
// (UpdateMessageText). An empty image or one above kMaxImageSize is refused with "Firmware
// update failed !" before the device is opened.
int UpdateFirmware(QObject *owner, const QByteArray &image);

// Reads the reply to the request with this tag and judges its status, showing the status's
// own message. 0 or a result code.
int WaitReply(uint8_t tag);

} // namespace firmware
