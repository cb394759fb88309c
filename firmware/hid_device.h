#pragma once
// Access to the board's USB HID update interface: find and open it by vendor id and either
// product id, move blocks of any length through 129-byte feature reports, read one input
// report under the reply time limit, close. One device at a time, on the GUI thread.

#include "firmware/hid_transport.h"
#include "firmware/update_requests.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace firmware {

constexpr uint16_t kFirstProductId = 0x0325;
constexpr uint16_t kSecondProductId = 0x0331;
// A reply may take up to 100 waits of 50 ms.
constexpr int kReplyWaits = 100;
constexpr int kReplyWaitMs = 50;

// The one open update device; zeroed while none is open.
struct HidDevice {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    bool open = false;
    // The last input report read, report id first.
    std::array<uint8_t, kInputReportSize> receiveBuffer{};
};
extern HidDevice g_hidDevice;

// The transport the update talks through; null restores hidapi (the program's default).
void SetHidTransport(HidTransport *transport);
HidTransport &CurrentHidTransport();

// The vendor id the build was configured with (never 0, which hidapi takes as "any vendor").
uint16_t UpdateVendorId();

// Opens the device with the vendor id and product 0x0325, else 0x0331; 0 when open,
// result::kNoUpdateDevice when neither is there, or the failure's code.
int OpenUpdateDevice();
// Closes the device if one is open; 0 or a result code. Closing twice does nothing.
int CloseUpdateDevice();
// Sends the block in slices of 128 bytes, each one feature report with report id 0 and the
// last padded with zeros; nothing for a length of 0. 0, or the code of the failed transfer.
int SendFeature(const uint8_t *block, std::size_t length);
// Fills the buffer with the payloads of as many feature reports as length needs.
int ReceiveFeature(uint8_t *buffer, std::size_t length);
// Reads one input report into g_hidDevice.receiveBuffer; result::kWaitTimeout after
// kReplyWaits waits of kReplyWaitMs without one.
int ReadInputReport();

// Tests only: each reply wait lasts kReplyWaitMs divided by this (1 in the program).
void SetUpdateTimeLimitDivisorForTests(int divisor);

} // namespace firmware
