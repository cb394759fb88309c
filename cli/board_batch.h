#pragma once
// What one board's run of a command run on many boards leaves, and the summary of them all.

#include "cli_options.h"
#include "console.h"
#include "scan_limits.h"

#include "link/detection.h"

#include <QJsonObject>

#include <memory>
#include <optional>
#include <sstream>
#include <vector>

namespace cli {

struct BoardRun {
    FoundBoard found;
    QString chip;     // catalogue spelling
    QString filePart; // "board-ttyUSB0"
    CliOptions options;
    std::ostringstream out; // the command's result, printed after every board has ended
    std::unique_ptr<Console> console;
    int status = 0;
    QString identity;
    // With limits: the board's inputs judged; empty when the scan gave no rows.
    std::optional<std::vector<InputVerdict>> verdicts;
};

// The runs' status together: 0, kSomeBoardsFailed or kNoBoardSucceeded.
int BatchStatus(const std::vector<std::unique_ptr<BoardRun>> &runs);

// Each board's result under a line naming it, then a table with a row per board and a line of
// totals.
void WriteBatchText(std::ostream &out, const std::vector<std::unique_ptr<BoardRun>> &runs);
// One object per board (its result as the command prints it for one board, under "result"),
// then one summary object.
void WriteBatchJson(std::ostream &out, const std::vector<std::unique_ptr<BoardRun>> &runs);

// The batch test's report: a row per board and input, then a row per board, as CSV; the same
// with the summary as one JSON object.
QByteArray BatchReportCsv(const std::vector<std::unique_ptr<BoardRun>> &runs);
QByteArray BatchReportJson(const std::vector<std::unique_ptr<BoardRun>> &runs);

} // namespace cli
