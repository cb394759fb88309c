// Finding and opening the board, closing it, and the quiet line every call starts from.

#include "board.h"
#include "detection.h"

#include "acquisition/event_cadence.h"
#include "chips/tables/no_board.h"
#include "link/board_link.h"
#include "link/detection.h"
#include "link/protocol.h"
#include "link/register_range.h"
#include "simulation.h"

#include "sim/virtual_board.h"
#include "simulate/simulated_board.h"

#include <unistd.h>

namespace pellorin_py {

std::unique_ptr<Board> Board::open(const OpenRequest &request, Interrupt &interrupt) {
    if (!request.chip.isEmpty() && !cli::FindChipSupport(request.chip))
        throw Value(QStringLiteral("no chip %1 (VXC5480 or VXC5420)").arg(request.chip));
    if (!request.port.isEmpty() && PortOpenInThisProcess(request.port))
        throw State(QStringLiteral("%1 is open in this process already: another Board holds it")
                        .arg(request.port));
    QStringList ports;
    if (!request.port.isEmpty())
        ports << request.port;
    QString chipName = request.chip;
    std::unique_ptr<sim::VirtualBoard> virtualBoard;
    if (!request.simulate.isEmpty()) {
        virtualBoard = StartVirtualBoard(request.simulate, request.signal, request.pace);
        ports.prepend(SimulatedBoardPort(*virtualBoard));
        if (chipName.isEmpty())
            chipName = request.simulate;
    }
    const bool scanSystem = ports.isEmpty() && request.scanSystem;
    return connect(ports, chipName, scanSystem, std::move(virtualBoard), interrupt);
}

std::unique_ptr<Board> Board::connect(QStringList ports, QString chipName, bool scanSystem,
                                      std::unique_ptr<sim::VirtualBoard> sim,
                                      Interrupt &interrupt) {
    std::unique_ptr<Board> board(new Board);
    board->m_sim = std::move(sim);
    if (chipName.isEmpty()) {
        // Whichever chip answers first: the board tells, and the handshake then runs for it.
        const std::vector<DetectedBoard> found = Detect(ports, scanSystem, interrupt);
        if (found.empty())
            throw NoBoard(NoBoardText(ports, QStringLiteral("No board found"), nullptr));
        ports = {found.front().port};
        chipName = found.front().chip;
    }
    const cli::ChipSupport *chip = cli::FindChipSupport(chipName);
    Detection found = DetectEvm({ports, scanSystem}, chip->chipId);
    if (!found.link) {
        platform::ShowMessage(nullptr, CantFindText(chip->chipId), QStringLiteral("Error"));
        const QString told = interrupt.messages().text();
        throw NoBoard(NoBoardText(ports, told, chip));
    }
    board->m_chip = chip;
    board->m_port = PortLabelOf(found.link->path());
    board->m_session = std::make_unique<BoardSession>(std::move(found.link));
    board->m_thread = std::this_thread::get_id();
    board->m_pid = static_cast<long>(getpid());
    board->m_open = true;
    board->refreshImage(interrupt, false);
    return board;
}

void Board::releaseThread() {
    link().release();
    m_thread = std::thread::id();
}

void Board::handOver() {
    // Never waited for: a call in flight on another thread may be waiting for the GIL this
    // thread holds.
    const std::unique_lock lock(m_callMutex, std::try_to_lock);
    if (!lock.owns_lock())
        throw State(QStringLiteral("%1: the Board is in a call on another thread").arg(m_port));
    if (!m_open)
        throw State(QStringLiteral("the board is closed"));
    if (!openedHere())
        throw State(QStringLiteral("this Board was opened by process %1: a child process cannot "
                                   "use it (open the board in the child instead)")
                        .arg(m_pid));
    if (m_thread == std::thread::id())
        return;
    if (m_thread != std::this_thread::get_id())
        throw State(QStringLiteral("%1: the Board belongs to another thread").arg(m_port));
    releaseThread();
}

void Board::giveBack() {
    if (m_open && m_thread == std::this_thread::get_id())
        releaseThread();
}

bool Board::openedHere() const {
    return m_pid == static_cast<long>(getpid());
}

Board::~Board() {
    if (m_open && !openedHere()) {
        // A child of the process that opened the Board: closing the port here would delete the
        // parent's lock file under it, and the virtual board's threads are not in this process.
        (void)m_session.release();
        (void)m_sim.release();
        return;
    }
    // Dropped without close(): the port goes at once, with no wait for what is owed.
    m_session.reset();
}

void Board::close() {
    const std::lock_guard lock(m_callMutex);
    if (!m_open)
        return;
    if (!openedHere()) {
        m_open = false;
        (void)m_session.release();
        (void)m_sim.release();
        return;
    }
    ++m_streamToken;
    m_open = false;
    // Closing never waits for what the board still owes: the link forgets it.
    m_session.reset();
    m_sim.reset();
}

void Board::begin(Interrupt &interrupt) {
    interrupt.holdForCall(m_callMutex);
    if (!m_open)
        throw State(QStringLiteral("the board is closed"));
    if (m_thread == std::thread::id() && openedHere()) {
        // A Board of open_all, released by its opener: this thread takes it.
        m_thread = std::this_thread::get_id();
        link().adopt();
    }
    if (!openedHere())
        throw State(QStringLiteral("this Board was opened by process %1: a child process cannot "
                                   "use it (open the board in the child instead)")
                        .arg(m_pid));
    if (std::this_thread::get_id() != m_thread)
        throw State(QStringLiteral("a Board is used from the thread that opened it"));
    ++m_streamToken; // any stream running ends here
    m_streamRequested = false;
    interrupt.messages().clear();
    settle(interrupt);
}

void Board::settle(Interrupt &interrupt) {
    if (link().owedBytes() <= 0)
        return;
    // Stopped by Ctrl-C: the rest is still owed and read before the next call. Otherwise the
    // line is quiet: drained, silent or gone.
    link().takeOwed([&interrupt] { return interrupt.whileWaiting(); });
}

void Board::refreshImage(Interrupt &interrupt, bool mustSucceed) {
    std::vector<uint8_t> image(static_cast<size_t>(m_chip->registerCount()), 0);
    interrupt.messages().clear();
    const int result = ReadRegisterRange(link(), image.data(), m_chip->registerCount(), nullptr);
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
