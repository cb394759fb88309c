#include "simulated_transport.h"

#include "update_codes.h"

#include <chrono>
#include <thread>

namespace firmware {

SimulatedTransport::SimulatedTransport(uint16_t vendorId) : m_device(vendorId) {}

int SimulatedTransport::open(uint16_t vendorId, uint16_t productId) {
    return m_device.open(vendorId, productId) ? result::kOk : result::kNoMoreItems;
}

int SimulatedTransport::sendFeatureReport(const uint8_t *report, std::size_t length) {
    return m_device.setFeature(report, length) ? result::kOk : result::kDeviceFailure;
}

int SimulatedTransport::getFeatureReport(uint8_t *report, std::size_t length) {
    return m_device.getFeature(report, length) ? result::kOk : result::kDeviceFailure;
}

int SimulatedTransport::readInputReport(uint8_t *report, std::size_t length, int timeoutMs) {
    if (!m_device.isOpen())
        return result::kDeviceFailure;
    if (m_device.readInput(report, length))
        return result::kOk;
    std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    return result::kWaitTimeout;
}

int SimulatedTransport::close() {
    m_device.close();
    return result::kOk;
}

} // namespace firmware
