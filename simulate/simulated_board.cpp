#include "simulated_board.h"

#include "firmware/firmware_image.h"
#include "firmware/hid_device.h"
#include "firmware/simulated_transport.h"
#include "sim/update_device.h"
#include "sim/virtual_board.h"

#include <cstdio>

std::unique_ptr<sim::VirtualBoard> StartSimulatedBoard(const QString &chipName, sim::Pacing pacing,
                                                       double sineHz, double sineVolts) {
    sim::Chip chip;
    if (!sim::ParseChip(chipName.toStdString(), chip)) {
        std::fprintf(stderr, "Pellorin: no virtual board for %s\n", qPrintable(chipName));
        return nullptr;
    }
    auto board = std::make_unique<sim::VirtualBoard>(chip);
    board->setPacing(pacing);
    if (sineHz > 0) {
        sim::SignalModel signal = sim::DefaultSignal(chip);
        signal.sineHz = sineHz;
        signal.sineAmplitudeVolts = sineVolts;
        board->setSignal(signal);
    }
    if (!board->start()) {
        std::fprintf(stderr, "Pellorin: the virtual board could not open a pseudo-terminal\n");
        return nullptr;
    }
    return board;
}

QString SimulatedBoardPort(const sim::VirtualBoard &board) {
    return QString::fromStdString(board.portPath());
}

std::unique_ptr<firmware::SimulatedTransport> InstallSimulatedUpdateDevice(bool imageGiven) {
    auto device = std::make_unique<firmware::SimulatedTransport>(firmware::UpdateVendorId());
    firmware::SetHidTransport(device.get());
    if (!imageGiven && firmware::CarriedImagePath().isEmpty()) {
        const std::vector<uint8_t> image = sim::GeneratedFirmwareImage();
        firmware::SetImageBytesForRun(
            QByteArray(reinterpret_cast<const char *>(image.data()), qsizetype(image.size())));
    }
    return device;
}
