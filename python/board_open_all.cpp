// open_all: every board among the candidates, or one virtual board for each chip named.

#include "board.h"
#include "detection.h"
#include "errors.h"
#include "simulation.h"

#include "chips/tables/chip_table.h"
#include "simulate/simulated_board.h"

namespace pellorin_py {

std::vector<std::unique_ptr<Board>> Board::openAll(const OpenAllRequest &request,
                                                   Interrupt &interrupt) {
    const cli::ChipSupport *wanted = nullptr;
    if (!request.chip.isEmpty() && !(wanted = cli::FindChipSupport(request.chip)))
        throw Value(QStringLiteral("no chip %1 (VXC5480 or VXC5420)").arg(request.chip));
    std::vector<std::unique_ptr<Board>> boards;
    for (std::unique_ptr<sim::VirtualBoard> &virtualBoard :
         StartVirtualBoards(request.simulate, request.signal, request.pace)) {
        const QString chipName =
            QLatin1String(virtualBoard->chip() == sim::Chip::VXC5420 ? "VXC5420" : "VXC5480");
        const QString port = SimulatedBoardPort(*virtualBoard);
        boards.push_back(connect({port}, chipName, false, std::move(virtualBoard), interrupt));
    }
    // The virtual boards are all there is unless ports are named too.
    const bool scanSystem =
        request.simulate.isEmpty() && request.ports.isEmpty() && request.scanSystem;
    if (!request.ports.isEmpty() || scanSystem) {
        // Ports another Board of this process holds are passed over by the search.
        for (const DetectedBoard &found : Detect(request.ports, scanSystem, interrupt)) {
            if (wanted && found.chip != QLatin1String(wanted->name))
                continue;
            boards.push_back(connect({found.port}, found.chip, false, nullptr, interrupt));
        }
    }
    for (std::unique_ptr<Board> &board : boards)
        board->releaseThread();
    return boards;
}

} // namespace pellorin_py
