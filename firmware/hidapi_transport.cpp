#include "hidapi_transport.h"

#include "update_codes.h"

#include <hidapi/hidapi.h>

#include <cstring>

namespace firmware {
namespace {
bool libraryReady() {
    static const bool ready = hid_init() == 0;
    return ready;
}
} // namespace

HidapiTransport::~HidapiTransport() {
    close();
}

int HidapiTransport::open(uint16_t vendorId, uint16_t productId) {
    close();
    if (!libraryReady())
        return result::kDeviceFailure;
    // hidapi takes vendor 0 as "any vendor"; the update never wants that.
    if (vendorId == 0)
        return result::kNoMoreItems;
    hid_device_info *list = hid_enumerate(vendorId, productId);
    for (hid_device_info *info = list; info && !m_device; info = info->next) {
        // One that cannot be opened (taken, or no access) is passed over, as a mismatch is.
        if (info->vendor_id == vendorId && info->product_id == productId && info->path)
            m_device = hid_open_path(info->path);
    }
    hid_free_enumeration(list);
    return m_device ? result::kOk : result::kNoMoreItems;
}

int HidapiTransport::sendFeatureReport(const uint8_t *report, std::size_t length) {
    if (!m_device)
        return result::kDeviceFailure;
    return hid_send_feature_report(m_device, report, length) < 0 ? result::kDeviceFailure
                                                                 : result::kOk;
}

int HidapiTransport::getFeatureReport(uint8_t *report, std::size_t length) {
    if (!m_device)
        return result::kDeviceFailure;
    return hid_get_feature_report(m_device, report, length) < 0 ? result::kDeviceFailure
                                                                : result::kOk;
}

int HidapiTransport::readInputReport(uint8_t *report, std::size_t length, int timeoutMs) {
    if (!m_device || length < 2)
        return result::kDeviceFailure;
    // The board's reports carry no report id, and hidapi hands them over without one; the
    // update reads every report behind its report id byte, here 0, so byte 1 is the tag.
    std::memset(report, 0, length);
    const int got = hid_read_timeout(m_device, report + 1, length - 1, timeoutMs);
    if (got < 0)
        return result::kDeviceFailure;
    return got == 0 ? result::kWaitTimeout : result::kOk;
}

int HidapiTransport::close() {
    if (m_device) {
        hid_close(m_device);
        m_device = nullptr;
    }
    return result::kOk;
}

} // namespace firmware
