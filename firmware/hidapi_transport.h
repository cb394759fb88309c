#pragma once
// The device interface on hidapi (hidraw backend on Linux): enumeration by vendor and
// product id, the first interface that opens is taken.

#include "firmware/hid_transport.h"

struct hid_device_;

namespace firmware {

class HidapiTransport final : public HidTransport {
  public:
    HidapiTransport() = default;
    ~HidapiTransport() override;
    HidapiTransport(const HidapiTransport &) = delete;
    HidapiTransport &operator=(const HidapiTransport &) = delete;

    int open(uint16_t vendorId, uint16_t productId) override;
    int sendFeatureReport(const uint8_t *report, std::size_t length) override;
    int getFeatureReport(uint8_t *report, std::size_t length) override;
    int readInputReport(uint8_t *report, std::size_t length, int timeoutMs) override;
    int close() override;

  private:
    hid_device_ *m_device = nullptr;
};

} // namespace firmware
