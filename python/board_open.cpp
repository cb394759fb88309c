// Finding and opening the board, closing it, and the quiet line every call starts from.

#include "board.h"
#include "detection.h"

#include "acquisition/event_cadence.h"
#include "capture/item_stream.h"
#include "cli/no_board.h"
#include "link/protocol.h"
#include "link/register_range.h"
#include "link/serial_transport.h"
#include "simulation.h"

#include "sim/virtual_board.h"
#include "simulate/simulated_board.h"

namespace pellorin_py {

namespace {
Board *g_current = nullptr;
} // namespace

Board *Board::current() {
    return g_current;
}

std::unique_ptr<Board> Board::open(const OpenRequest &request, Interrupt &interrupt) {
    if (g_current)
        throw State(QStringLiteral("a Board is open in this process already (%1); close it first")
                        .arg(g_current->port()));
    if (!request.chip.isEmpty() && !cli::FindChipSupport(request.chip))
        throw Value(QStringLiteral("no chip %1 (VXC5480 or VXC5420)").arg(request.chip));
    std::unique_ptr<Board> board(new Board);
    QStringList ports;
    if (!request.port.isEmpty())
        ports << request.port;
    QString chipName = request.chip;
    if (!request.simulate.isEmpty()) {
        board->m_sim = StartVirtualBoard(request.simulate, request.signal, request.pace);
        ports.prepend(SimulatedBoardPort(*board->m_sim));
        if (chipName.isEmpty())
            chipName = request.simulate;
    }
    const bool scanSystem = ports.isEmpty() && request.scanSystem;
    if (chipName.isEmpty()) {
        // Whichever chip answers first: the board tells, and the handshake then runs for it.
        const std::vector<DetectedBoard> found = Detect(ports, scanSystem, interrupt);
        if (found.empty())
            throw NoBoard(NoBoardText(ports, QStringLiteral("No board found"), nullptr));
        ports = {found.front().port};
        chipName = found.front().chip;
    }
    const cli::ChipSupport *chip = cli::FindChipSupport(chipName);
    SetPreferredPorts(ports);
    SetSystemPortsScanned(scanSystem);
    g_chipId = chip->chipId;
    const int number = DetectEvm();
    if (number < 0) {
        const QString told = interrupt.messages().text();
        SetPreferredPorts({});
        SetSystemPortsScanned(true);
        throw NoBoard(NoBoardText(ports, told, chip));
    }
    board->m_chip = chip;
    board->m_port = PortLabel(number);
    board->m_thread = std::this_thread::get_id();
    board->m_open = true;
    g_current = board.get();
    board->refreshImage(interrupt, false);
    return board;
}

Board::~Board() {
    if (!m_open)
        return;
    // Dropped without close(): the port goes at once, with no wait for what is owed.
    ClosePort();
    SetPreferredPorts({});
    SetSystemPortsScanned(true);
    g_current = nullptr;
}

void Board::close(Interrupt &interrupt) {
    if (!m_open)
        return;
    if (std::this_thread::get_id() == m_thread) {
        ++m_streamToken;
        settle(interrupt);
    }
    ClosePort();
    SetPreferredPorts({});
    SetSystemPortsScanned(true);
    m_open = false;
    g_current = nullptr;
    m_sim.reset();
}

void Board::begin(Interrupt &interrupt) {
    if (!m_open)
        throw State(QStringLiteral("the board is closed"));
    if (std::this_thread::get_id() != m_thread)
        throw State(QStringLiteral("a Board is used from the thread that opened it"));
    ++m_streamToken; // any stream running ends here
    m_streamRequested = false;
    interrupt.messages().clear();
    settle(interrupt);
}

void Board::settle(Interrupt &interrupt) {
    if (m_owedBytes <= 0)
        return;
    capture::ItemReader reader({}, capture::Clock::now(), kReadGatherMs,
                               [&interrupt] { return interrupt.whileWaiting(); });
    reader.drain(
        m_owedBytes, [&interrupt] { return interrupt.check(); },
        [this](int64_t bytesLeft) { m_owedBytes = bytesLeft; });
    // Stopped by Ctrl-C: the rest is still owed and read before the next call. Otherwise the
    // line is quiet: drained, silent or gone.
    if (!interrupt.caught())
        m_owedBytes = 0;
}

void Board::refreshImage(Interrupt &interrupt, bool mustSucceed) {
    std::vector<uint8_t> image(static_cast<size_t>(m_chip->registerCount()), 0);
    interrupt.messages().clear();
    const int result = ReadRegisterRange(image.data(), m_chip->registerCount(), nullptr);
    if (result == 0) {
        m_image = std::move(image);
        return;
    }
    if (mustSucceed)
        throw Exchange(interrupt.messages().text(), result);
    // As the window before an acquisition: the failure is told, the work goes on.
    interrupt.messages().clear();
}

} // namespace pellorin_py
