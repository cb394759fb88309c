#pragma once
// The firmware update: opens the board's HID update interface, sends the set-up, checks the
// identity, writes and verifies the configuration block and the image, and ends the session.
// It reports through the platform message service and needs no widgets, so the window and
// the command line run the same procedure.

#include "update_codes.h"

#include <QByteArray>

#include <cstdint>

class QObject;

namespace firmware {

// The largest image the update accepts.
constexpr qsizetype kMaxImageSize = 1024 * 1024;

// The fixed value the opening request carries in its address field (top byte 0).
uint32_t UpdateOpenValue();

// How an update ended: succeeded, or failed with a result code. A failure from the opening to
// the identity (and a missing device) is left to the caller, who shows its UpdateMessageText;
// every later one the procedure has told already with "Firmware update failed !".
struct UpdateOutcome {
    bool succeeded = false;
    int code = result::kOk; // of the failed step; 0 on success
    bool told = false;      // the procedure has shown its own message for the failure

    static UpdateOutcome Succeeded() { return {true, result::kOk, false}; }
    static UpdateOutcome LeftToCaller(int code) { return {false, code, false}; }
    static UpdateOutcome Told(int code) { return {false, code, true}; }

    // The caller still has a message to show: UpdateMessageText(code).
    bool callerTells() const { return !succeeded && !told; }
    bool operator==(const UpdateOutcome &) const = default;
};

// Runs the whole update with image; owner owns the messages it shows, "Firmware update
// succeeded !" included. An empty image or one above kMaxImageSize is refused with "Firmware
// update failed !" (13, no image) before the device is opened.
UpdateOutcome UpdateFirmware(QObject *owner, const QByteArray &image);

// Reads the reply to the request with this tag and judges its status, showing the status's
// own message. 0 or a result code.
int WaitReply(uint8_t tag);

} // namespace firmware
