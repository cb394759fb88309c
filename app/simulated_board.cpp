#include "simulated_board.h"

#include "sim/virtual_board.h"

#include <cstdio>

std::unique_ptr<sim::VirtualBoard> StartSimulatedBoard(const QString &chipName) {
    sim::Chip chip;
    if (!sim::ParseChip(chipName.toStdString(), chip)) {
        std::fprintf(stderr, "Pellorin: no virtual board for %s\n", qPrintable(chipName));
        return nullptr;
    }
    auto board = std::make_unique<sim::VirtualBoard>(chip);
    if (!board->start()) {
        std::fprintf(stderr, "Pellorin: the virtual board could not open a pseudo-terminal\n");
        return nullptr;
    }
    return board;
}

QString SimulatedBoardPort(const sim::VirtualBoard &board) {
    return QString::fromStdString(board.portPath());
}
