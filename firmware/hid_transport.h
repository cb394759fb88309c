#pragma once
// The small device interface the firmware update runs on: one HID device opened by vendor and
// product id, 129-byte feature reports both ways, input reports with a time limit. hidapi
// implements it for real boards, an adapter over the simulated update device for --simulate,
// tests and the benchmark. No Qt, no widgets.

#include <cstddef>
#include <cstdint>

namespace firmware {

class HidTransport {
  public:
    virtual ~HidTransport() = default;

    // Opens the first device with these ids. 0 when open; result::kNoMoreItems when none
    // answers to them (or none could be opened); another result code on a failure.
    virtual int open(uint16_t vendorId, uint16_t productId) = 0;
    // Sends one feature report, report id first. 0 or a result code.
    virtual int sendFeatureReport(const uint8_t *report, std::size_t length) = 0;
    // Fetches one feature report into report, whose first byte holds the report id. 0 or a code.
    virtual int getFeatureReport(uint8_t *report, std::size_t length) = 0;
    // Waits up to timeoutMs for one input report and stores it with its report id first
    // (0 for a device without report ids). 0, result::kWaitTimeout, or another code.
    virtual int readInputReport(uint8_t *report, std::size_t length, int timeoutMs) = 0;
    // Closes the open device; 0 or a result code.
    virtual int close() = 0;
};

} // namespace firmware
