// detect: the handshake, then the port and the chip; with --all, every board among the
// candidates whatever its chip, with its identity and registers.

#include "all_boards.h"
#include "commands.h"
#include "conversion_options.h"
#include "exit_codes.h"
#include "output_formats.h"

#include "link/chip_catalog.h"
#include "link/detection.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace cli {

namespace {
struct BoardSeen {
    QString port;
    QString chip;
    int chipId = 0;
    QString identity;
    QString registers; // "01 00 ..." as hex; empty when they could not be read
};

// The board's identity and registers, on a link of its own that closes at once.
BoardSeen lookAt(CommandContext &context, const FoundBoard &found) {
    BoardSeen seen{found.path, QLatin1String(FindChip(found.chipId)->name), found.chipId, {}, {}};
    QString problem;
    std::unique_ptr<BoardLink> link = BoardLink::open(found.path, &problem);
    if (!link) {
        context.console().message(QStringLiteral("%1: %2").arg(found.path, problem));
        return seen;
    }
    link->setChipId(found.chipId);
    link->setMessageSink(
        [&context](const platform::Message &message) { context.console().message(message.text); });
    seen.identity = link->identity();
    if (const ChipSupport *chip = FindChipSupport(seen.chip)) {
        QStringList bytes;
        for (const uint8_t value : ReadChipImage(*link, *chip))
            bytes << QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
        seen.registers = bytes.join(u' ');
    }
    return seen;
}

void writeBoards(std::ostream &out, const std::vector<BoardSeen> &boards, bool json) {
    if (json) {
        for (const BoardSeen &board : boards) {
            const QJsonObject object{{"port", board.port},
                                     {"chip", board.chip},
                                     {"chipId", board.chipId},
                                     {"identity", board.identity},
                                     {"registers", board.registers}};
            out << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << '\n';
        }
        return;
    }
    qsizetype portWidth = 4, identityWidth = 8;
    for (const BoardSeen &board : boards) {
        portWidth = std::max(portWidth, board.port.size());
        identityWidth = std::max(identityWidth, board.identity.size());
    }
    const auto line = [&](const QString &port, const QString &chip, const QString &identity,
                          const QString &registers) {
        out << (port.leftJustified(portWidth + 2) + chip.leftJustified(9) +
                identity.leftJustified(identityWidth + 2) + registers)
                   .toStdString()
            << '\n';
    };
    line(QStringLiteral("PORT"), QStringLiteral("CHIP"), QStringLiteral("IDENTITY"),
         QStringLiteral("REGISTERS"));
    for (const BoardSeen &board : boards)
        line(board.port, board.chip, board.identity, board.registers);
}

int detectAll(CommandContext &context, bool json) {
    const CliOptions &options = context.options();
    const QStringList simulated = context.simulatedPorts();
    if (options.simulate && simulated.isEmpty())
        return exit_code::kNoBoard;
    const std::vector<FoundBoard> found =
        BoardsAmong(options, simulated + options.ports, !options.noScan);
    if (found.empty()) {
        context.console().message(NoBoardsText(options));
        return exit_code::kNoBoard;
    }
    std::vector<BoardSeen> boards;
    for (const FoundBoard &board : found)
        boards.push_back(lookAt(context, board));
    writeBoards(context.out(), boards, json);
    return exit_code::kOk;
}
} // namespace

int RunDetect(CommandContext &context) {
    QString error;
    const CommandArguments args =
        SplitArguments(context.options().arguments, {},
                       {QStringLiteral("--json"), QStringLiteral("--all")}, error);
    if (!error.isEmpty())
        return context.usage(error);
    if (!args.words.isEmpty())
        return context.usage(QStringLiteral("detect takes no arguments"));
    const bool json = context.options().json || args.has(QStringLiteral("--json"));
    if (args.has(QStringLiteral("--all")))
        return detectAll(context, json);
    if (const int status = context.connect())
        return status;
    const QString chip = QLatin1String(context.chip().name);
    if (json)
        WriteDetectJson(context.out(), context.port(), chip, context.chip().chipId);
    else
        WriteDetectText(context.out(), context.port(), chip);
    return exit_code::kOk;
}

} // namespace cli
