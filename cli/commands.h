#pragma once
// One function per command. Each reads its own arguments first (a usage error touches no
// board), then asks the context for the board, then does its work and returns the exit status.

#include "chips/tables/chip_table.h"
#include "cli_options.h"
#include "console.h"

#include "capture/capture_settings.h"
#include "link/board_session.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace sim {
class VirtualBoard;
}
namespace firmware {
class SimulatedTransport;
}
namespace scan {
struct ScanOutcome;
}

namespace cli {

class CommandContext {
  public:
    CommandContext(const CliOptions &options, Console &console);
    ~CommandContext();

    const CliOptions &options() const { return m_options; }
    Console &console() { return m_console; }
    std::ostream &out() { return m_console.out(); }

    // The chip the board is expected to carry.
    const ChipSupport &chip() const { return *m_chip; }
    // Finds the board (starting the virtual one first when asked); 0, or the exit status.
    int connect();
    // With --simulate, puts the simulated update device behind the firmware update (with a
    // generated image unless imageGiven), as the window's --simulate does.
    void installSimulatedUpdateDevice(bool imageGiven);
    // The ports of the virtual boards --simulate serves, started on first asking; empty (after
    // telling why) when one could not be started.
    QStringList simulatedPorts();
    // One of several boards run together (--all-boards): a capture waits here for the others'
    // to be ready, then all stream on one clock. Empty for a command on one board.
    using StartTogether = std::function<capture::RunClock()>;
    void setStartTogether(StartTogether start) { m_startTogether = std::move(start); }
    const StartTogether &startTogether() const { return m_startTogether; }
    // A scan's outcome and the volts of its codes, as the scan ends (a batch test judges them).
    using ScanObserver = std::function<void(const scan::ScanOutcome &, double voltsPerCode)>;
    void setScanObserver(ScanObserver observer) { m_scanObserver = std::move(observer); }
    const ScanObserver &scanObserver() const { return m_scanObserver; }
    // connect() found the board.
    bool connected() const { return m_session != nullptr; }
    // The port the board answered on, after connect().
    const QString &port() const { return m_port; }
    // The board found by connect(): its link and busy flags.
    BoardSession &board() { return *m_session; }
    BoardLink &link() { return m_session->link(); }

    // A usage error of the command: the message, then the pointer to its help. Returns 2.
    int usage(const QString &text);
    // A failed exchange: what failed, with the link's result code. Returns 4.
    int exchangeFailed(const QString &what, int result);
    // Something this chip or build does not have. Returns 1.
    int unavailable(const QString &text);
    // A result file written whole or not at all (the old file stays as it was); 0, or 6 after
    // the file's message.
    int writeWholeFile(const QString &path, const std::string &text);
    // The same for a file made piece by piece as it is written (produce hands each piece to
    // the sink it is given), never held whole.
    int writeWholeFile(
        const QString &path,
        const std::function<bool(const std::function<bool(std::string_view)> &)> &produce);

  private:
    // Why each port the user named (and the virtual board's) gave no board: it could not be
    // opened, no board answers there, or the board carries the other chip. The system's own
    // ports are many and mostly no boards: they are not explained.
    void explainPorts(const QStringList &ports);

    const CliOptions &m_options;
    Console &m_console;
    const ChipSupport *m_chip;
    QString m_port;
    std::vector<std::unique_ptr<sim::VirtualBoard>> m_simulated;
    bool m_simulatedStarted = false;
    StartTogether m_startTogether;
    ScanObserver m_scanObserver;
    // After the virtual board: the link closes before the board that serves it goes.
    std::unique_ptr<BoardSession> m_session;
    std::unique_ptr<firmware::SimulatedTransport> m_updateDevice;
};

int RunDetect(CommandContext &context);
int RunRegs(CommandContext &context);
int RunGet(CommandContext &context);
int RunSet(CommandContext &context);
int RunCommand(CommandContext &context);
int RunAcquire(CommandContext &context);
int RunCapture(CommandContext &context);
int RunScan(CommandContext &context);
int RunProfile(CommandContext &context);
int RunFirmwareUpdate(CommandContext &context);
// Reads capture files; never touches a board.
int RunAnalyze(CommandContext &context);

} // namespace cli
