#pragma once
// The device interface over the virtual board's simulated update device, for --simulate, the
// tests and the benchmark. The update runs the same code on it as on hidapi.

#include "firmware/hid_transport.h"
#include "sim/update_device.h"

namespace firmware {

class SimulatedTransport final : public HidTransport {
  public:
    explicit SimulatedTransport(uint16_t vendorId);

    sim::UpdateDevice &device() { return m_device; }

    int open(uint16_t vendorId, uint16_t productId) override;
    int sendFeatureReport(const uint8_t *report, std::size_t length) override;
    int getFeatureReport(uint8_t *report, std::size_t length) override;
    // Without a pending reply it waits out the time limit, as a silent board would make it.
    int readInputReport(uint8_t *report, std::size_t length, int timeoutMs) override;
    int close() override;

  private:
    sim::UpdateDevice m_device;
};

} // namespace firmware
