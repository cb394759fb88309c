#include "simulated_board.h"

#include "firmware/firmware_image.h"
#include "firmware/hid_device.h"
#include "firmware/simulated_transport.h"
#include "sim/update_device.h"
#include "sim/virtual_board.h"

#include <cstdio>

std::vector<std::unique_ptr<sim::VirtualBoard>> StartSimulatedBoards(const QStringList &chipNames,
                                                                     sim::Pacing pacing,
                                                                     double sineHz,
                                                                     double sineVolts) {
    std::vector<sim::Chip> chips;
    for (const QString &name : chipNames) {
        sim::Chip chip;
        if (!sim::ParseChip(name.toStdString(), chip)) {
            std::fprintf(stderr, "Pellorin: no virtual board for %s\n", qPrintable(name));
            return {};
        }
        chips.push_back(chip);
    }
    std::vector<std::unique_ptr<sim::VirtualBoard>> boards;
    for (size_t i = 0; i < chips.size(); ++i) {
        auto board = std::make_unique<sim::VirtualBoard>(chips[i]);
        board->setPacing(pacing);
        sim::SignalModel signal = sim::BoardSignal(chips[i], static_cast<int>(i + 1));
        if (sineHz > 0) {
            signal.sineHz = sineHz;
            signal.sineAmplitudeVolts = sineVolts;
        }
        board->setSignal(signal);
        if (!board->start()) {
            std::fprintf(stderr, "Pellorin: the virtual board could not open a pseudo-terminal\n");
            return {};
        }
        boards.push_back(std::move(board));
    }
    return boards;
}

std::unique_ptr<sim::VirtualBoard> StartSimulatedBoard(const QString &chipName, sim::Pacing pacing,
                                                       double sineHz, double sineVolts) {
    std::vector<std::unique_ptr<sim::VirtualBoard>> boards =
        StartSimulatedBoards({chipName}, pacing, sineHz, sineVolts);
    return boards.empty() ? nullptr : std::move(boards.front());
}

QString SimulatedBoardPort(const sim::VirtualBoard &board) {
    return QString::fromStdString(board.linkPath());
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
