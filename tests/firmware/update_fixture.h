#pragma once
// Firmware update tests run the program's own update code against the simulated update
// device, through the same device interface hidapi sits behind.

#include "firmware/hid_device.h"
#include "firmware/simulated_transport.h"
#include "firmware/update_firmware.h"
#include "firmware/update_requests.h"
#include "platform/message_service.h"
#include "sim/update_device.h"

#include <QByteArray>
#include <QObject>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << qPrintable(text) << '"';
}

namespace firmware {
inline void PrintTo(const UpdateOutcome &outcome, std::ostream *os) {
    if (outcome.succeeded)
        *os << "succeeded";
    else
        *os << "failed with 0x" << std::hex << outcome.code << std::dec
            << (outcome.told ? ", told" : ", left to the caller");
}
} // namespace firmware

// A reply wait of 100 x 50 ms becomes 100 x 5 ms: half a second for a reply that never comes.
constexpr int kUpdateTestDivisor = 10;

class UpdateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        firmware::SetHidTransport(&m_transport);
        firmware::SetUpdateTimeLimitDivisorForTests(kUpdateTestDivisor);
    }
    void TearDown() override {
        // Whichever way the update ended, it left the device closed.
        EXPECT_FALSE(board().isOpen());
        EXPECT_FALSE(firmware::g_hidDevice.open);
        EXPECT_EQ(board().openCount(), board().closeCount());
        firmware::CloseUpdateDevice();
        firmware::SetHidTransport(nullptr);
        firmware::SetUpdateTimeLimitDivisorForTests(1);
    }

    sim::UpdateDevice &board() { return m_transport.device(); }
    // Faults to change, then applyFaults().
    sim::UpdateFaults &faults() { return m_faults; }
    void applyFaults() { board().setFaults(m_faults); }

    static QByteArray image(std::size_t size) {
        const std::vector<uint8_t> bytes = sim::GeneratedFirmwareImage(size);
        return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    }

    firmware::UpdateOutcome update(const QByteArray &bytes = image(1000)) {
        return firmware::UpdateFirmware(&owner, bytes);
    }

    // The requests the board took, as command << 8 | sub-command.
    std::vector<int> requestCodes() {
        std::vector<int> codes;
        for (const sim::UpdateRequest &request : board().requests())
            codes.push_back(request.code());
        return codes;
    }
    bool received(int code) {
        for (int c : requestCodes())
            if (c == code)
                return true;
        return false;
    }

    QObject owner;
    platform::MessageRecorder messages;

  private:
    firmware::SimulatedTransport m_transport{firmware::UpdateVendorId()};
    sim::UpdateFaults m_faults;
};
