#include "hid_device.h"

#include "hidapi_transport.h"
#include "update_codes.h"

#include <algorithm>

#ifndef PELLORIN_USB_VENDOR_ID
#error "PELLORIN_USB_VENDOR_ID comes from the build's configuration"
#endif

namespace firmware {

HidDevice g_hidDevice;

namespace {
HidTransport *g_transport = nullptr;
int g_timeDivisor = 1;

int findHidDevice() {
    return CurrentHidTransport().open(g_hidDevice.vendorId, g_hidDevice.productId);
}
} // namespace

void SetHidTransport(HidTransport *transport) {
    g_transport = transport;
}

HidTransport &CurrentHidTransport() {
    if (g_transport)
        return *g_transport;
    static HidapiTransport hidapi;
    return hidapi;
}

uint16_t UpdateVendorId() {
    static_assert(PELLORIN_USB_VENDOR_ID > 0 && PELLORIN_USB_VENDOR_ID <= 0xFFFF);
    return PELLORIN_USB_VENDOR_ID;
}

int OpenUpdateDevice() {
    // One device at a time: one left open by a caller that did not close it goes first.
    CloseUpdateDevice();
    g_hidDevice = HidDevice{};
    g_hidDevice.vendorId = UpdateVendorId();
    int found = result::kNoMoreItems;
    for (uint16_t productId : {kFirstProductId, kSecondProductId}) {
        g_hidDevice.productId = productId;
        found = findHidDevice();
        if (found != result::kNoMoreItems)
            break;
    }
    if (found == result::kNoMoreItems) {
        g_hidDevice = HidDevice{};
        return result::kNoUpdateDevice;
    }
    if (found != result::kOk) {
        g_hidDevice = HidDevice{};
        return found;
    }
    g_hidDevice.open = true;
    return result::kOk;
}

int CloseUpdateDevice() {
    if (!g_hidDevice.open)
        return result::kOk;
    const int closed = CurrentHidTransport().close();
    g_hidDevice = HidDevice{};
    return closed;
}

int SendFeature(const uint8_t *block, std::size_t length) {
    for (std::size_t offset = 0; offset < length;) {
        std::array<uint8_t, kFeatureReportSize> report{};
        const std::size_t slice = std::min(kFeaturePayloadSize, length - offset);
        std::copy_n(block + offset, slice, report.begin() + 1);
        const int sent = CurrentHidTransport().sendFeatureReport(report.data(), report.size());
        if (sent != result::kOk)
            return sent;
        offset += slice;
    }
    return result::kOk;
}

int ReceiveFeature(uint8_t *buffer, std::size_t length) {
    for (std::size_t offset = 0; offset < length;) {
        std::array<uint8_t, kFeatureReportSize> report{};
        const int got = CurrentHidTransport().getFeatureReport(report.data(), report.size());
        if (got != result::kOk)
            return got;
        const std::size_t slice = std::min(kFeaturePayloadSize, length - offset);
        std::copy_n(report.begin() + 1, slice, buffer + offset);
        offset += slice;
    }
    return result::kOk;
}

int ReadInputReport() {
    g_hidDevice.receiveBuffer.fill(0);
    const int waitMs = std::max(1, kReplyWaitMs / g_timeDivisor);
    for (int wait = 0; wait < kReplyWaits; ++wait) {
        const int got = CurrentHidTransport().readInputReport(
            g_hidDevice.receiveBuffer.data(), g_hidDevice.receiveBuffer.size(), waitMs);
        if (got != result::kWaitTimeout)
            return got;
    }
    return result::kWaitTimeout;
}

void SetUpdateTimeLimitDivisorForTests(int divisor) {
    g_timeDivisor = std::max(1, divisor);
}

} // namespace firmware
