#include "commands.h"

#include "chips/tables/no_board.h"
#include "exit_codes.h"

#include "firmware/firmware_image.h"
#include "firmware/hid_device.h"
#include "firmware/simulated_transport.h"
#include "link/detection.h"
#include "link/protocol.h"
#include "platform/file_writer.h"
#include "platform/message_service.h"
#include "sim/virtual_board.h"
#include "simulate/simulated_board.h"

namespace cli {

CommandContext::CommandContext(const CliOptions &options, Console &console)
    : m_options(options), m_console(console), m_chip(FindChipSupport(ExpectedChip(options))) {}

CommandContext::~CommandContext() {
    if (m_updateDevice) {
        firmware::SetHidTransport(nullptr);
        firmware::ClearImageForRun();
    }
    m_session.reset();
}

QStringList CommandContext::simulatedPorts() {
    if (!m_simulatedStarted && m_options.simulate) {
        m_simulatedStarted = true;
        m_simulated = StartSimulatedBoards(m_options.simulatedChips, m_options.pacing);
    }
    QStringList ports;
    for (const auto &board : m_simulated)
        ports << SimulatedBoardPort(*board);
    return ports;
}

int CommandContext::connect() {
    QStringList ports = m_options.ports;
    if (m_options.simulate) {
        const QStringList simulated = simulatedPorts();
        if (simulated.isEmpty())
            return exit_code::kNoBoard;
        ports = simulated + ports;
    }
    const auto tell = [this](const platform::Message &message) { m_console.message(message.text); };
    Detection found = DetectEvm({ports, !m_options.noScan}, m_chip->chipId, tell);
    if (!found.link) {
        m_console.message(CantFindText(m_chip->chipId));
        explainPorts(ports);
        return exit_code::kNoBoard;
    }
    m_port = PortLabelOf(found.link->path());
    // This board's messages are this command's, whichever thread it runs on.
    found.link->setMessageSink(tell);
    m_session = std::make_unique<BoardSession>(std::move(found.link));
    return exit_code::kOk;
}

void CommandContext::explainPorts(const QStringList &ports) {
    for (const QString &path : ports) {
        const NoBoardReason reason = WhyNoBoard(path, *m_chip);
        if (reason.text.isEmpty())
            continue;
        if (reason.other) {
            m_console.message(QStringLiteral("%1: %2 (give --chip %3)")
                                  .arg(path, reason.text, QLatin1String(reason.other->name)));
        } else {
            m_console.message(QStringLiteral("%1: %2").arg(path, reason.text));
        }
    }
}

void CommandContext::installSimulatedUpdateDevice(bool imageGiven) {
    if (m_options.simulate && !m_updateDevice)
        m_updateDevice = InstallSimulatedUpdateDevice(imageGiven);
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

int CommandContext::writeWholeFile(const QString &path, const std::string &text) {
    return writeWholeFile(path, [&text](const platform::ByteSink &sink) { return sink(text); });
}

int CommandContext::writeWholeFile(
    const QString &path,
    const std::function<bool(const std::function<bool(std::string_view)> &)> &produce) {
    const platform::FileError error =
        platform::WriteWholeFiles({platform::FileContents{path, QByteArray(), produce}});
    if (!error.failed())
        return exit_code::kOk;
    m_console.message(error.text());
    return exit_code::kFile;
}

} // namespace cli
