// Prints the time of a full firmware update of a 32644-byte image against the simulated update
// device, and the program's own time per feature report (against a device that does nothing).
// A benchmark, not a test: it asserts nothing.

#include "firmware/hid_device.h"
#include "firmware/simulated_transport.h"
#include "firmware/update_firmware.h"
#include "platform/message_service.h"
#include "sim/update_device.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr std::size_t kImageSize = 32644;

double medianOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Takes every report at once, so what is timed is the program's own work.
class NullTransport final : public firmware::HidTransport {
  public:
    int open(uint16_t, uint16_t) override { return 0; }
    int sendFeatureReport(const uint8_t *, std::size_t) override { return 0; }
    int getFeatureReport(uint8_t *, std::size_t) override { return 0; }
    int readInputReport(uint8_t *, std::size_t, int) override { return 0; }
    int close() override { return 0; }
};

void measureUpdate(const QByteArray &image) {
    firmware::SimulatedTransport device(firmware::UpdateVendorId());
    device.device().setRecordReports(false);
    firmware::SetHidTransport(&device);
    std::vector<double> runs;
    int failures = 0;
    for (int run = 0; run < 50; ++run) {
        platform::MessageRecorder messages;
        QElapsedTimer timer;
        timer.start();
        firmware::UpdateFirmware(nullptr, image);
        runs.push_back(timer.nsecsElapsed() / 1e6);
        if (messages.texts() != QStringList{QStringLiteral("Firmware update succeeded !")})
            ++failures;
        device.device().clearRecords();
    }
    firmware::SetHidTransport(nullptr);
    std::printf("full simulated update, %zu-byte image (256 + 256 image reports, 13 others): "
                "median %.3f ms over %zu runs%s\n",
                kImageSize, medianOf(runs), runs.size(), failures ? " (SOME FAILED)" : "");
}

void measureReports(const QByteArray &image) {
    NullTransport device;
    firmware::SetHidTransport(&device);
    firmware::OpenUpdateDevice();
    const auto *bytes = reinterpret_cast<const uint8_t *>(image.constData());
    std::vector<uint8_t> back(kImageSize);
    std::vector<double> sendNs;
    std::vector<double> receiveNs;
    for (int run = 0; run < 200; ++run) {
        QElapsedTimer timer;
        timer.start();
        firmware::SendFeature(bytes, kImageSize);
        sendNs.push_back(double(timer.nsecsElapsed()) / 256);
        timer.restart();
        firmware::ReceiveFeature(back.data(), back.size());
        receiveNs.push_back(double(timer.nsecsElapsed()) / 256);
    }
    firmware::CloseUpdateDevice();
    firmware::SetHidTransport(nullptr);
    std::printf("program's own time per 129-byte feature report: send %.1f ns, receive %.1f ns "
                "(median of 200 x 256 reports)\n",
                medianOf(sendNs), medianOf(receiveNs));
}

} // namespace

int main() {
    const std::vector<uint8_t> generated = sim::GeneratedFirmwareImage(kImageSize);
    const QByteArray image(reinterpret_cast<const char *>(generated.data()),
                           qsizetype(generated.size()));
    measureUpdate(image);
    measureReports(image);
    return 0;
}
