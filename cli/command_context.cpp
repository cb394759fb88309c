#include "commands.h"

#include "exit_codes.h"

#include "link/protocol.h"
#include "link/serial_transport.h"
#include "sim/virtual_board.h"

namespace cli {

CommandContext::CommandContext(const CliOptions &options, Console &console)
    : m_options(options), m_console(console), m_chip(FindChipSupport(ExpectedChip(options))) {}

CommandContext::~CommandContext() {
    ClosePort();
    SetPreferredPorts({});
    SetSystemPortsScanned(true);
}

int CommandContext::connect() {
    QStringList ports = m_options.ports;
    if (m_options.simulate) {
        sim::Chip chip = sim::Chip::VXC5480;
        sim::ParseChip(m_options.simulatedChip.toStdString(), chip);
        m_board = std::make_unique<sim::VirtualBoard>(chip);
        if (!m_board->start()) {
            m_console.message(QStringLiteral("the virtual board could not open a pseudo-terminal"));
            return exit_code::kNoBoard;
        }
        ports.prepend(QString::fromStdString(m_board->portPath()));
    }
    SetPreferredPorts(ports);
    SetSystemPortsScanned(!m_options.noScan);
    g_chipId = m_chip->chipId;
    const int number = DetectEvm();
    if (number < 0)
        return exit_code::kNoBoard;
    m_port = PortLabel(number);
    return exit_code::kOk;
}

int CommandContext::usage(const QString &text) {
    m_console.message(
        QStringLiteral("%1 (see pellorin-cli %2 --help)").arg(text, m_options.command));
    return exit_code::kUsage;
}

int CommandContext::exchangeFailed(const QString &what, int result) {
    m_console.message(QStringLiteral("%1 failed: result code %2").arg(what).arg(result));
    return exit_code::kExchange;
}

int CommandContext::unavailable(const QString &text) {
    m_console.message(text);
    return exit_code::kUnavailable;
}

} // namespace cli
