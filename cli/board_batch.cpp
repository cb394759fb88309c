#include "board_batch.h"

#include "exit_codes.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace cli {

namespace {
bool succeeded(const BoardRun &run) {
    return run.status == exit_code::kOk;
}

// What the summary's row says of a board: "ok", the limits' verdict, or its last message.
QString outcomeText(const BoardRun &run) {
    if (run.verdicts) {
        QStringList failed;
        for (const InputVerdict &verdict : *run.verdicts) {
            if (verdict.verdict != Verdict::Pass && verdict.verdict != Verdict::NoLimit)
                failed << QStringLiteral("%1 %2").arg(verdict.input, VerdictText(verdict.verdict));
        }
        if (run.status == exit_code::kOk)
            return QStringLiteral("pass");
        if (run.status == exit_code::kOutsideLimits)
            return QStringLiteral("fail: ") + failed.join(QStringLiteral(", "));
    }
    if (succeeded(run))
        return QStringLiteral("ok");
    const QStringList &messages = run.console->messages();
    return messages.isEmpty() ? QStringLiteral("failed") : messages.back();
}

// The board's result as it printed it, parsed back into the object it is; null when it printed
// none, its text when that is not one JSON value.
QJsonValue resultOf(const BoardRun &run) {
    const std::string text = run.out.str();
    if (text.empty())
        return QJsonValue::Null;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    if (error.error != QJsonParseError::NoError)
        return QString::fromStdString(text);
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

QString limitsResult(const BoardRun &run) {
    if (run.status == exit_code::kOk)
        return QStringLiteral("pass");
    return run.status == exit_code::kOutsideLimits ? QStringLiteral("fail")
                                                   : QStringLiteral("error");
}

QJsonArray verdictsJson(const std::vector<InputVerdict> &verdicts) {
    QJsonArray inputs;
    for (const InputVerdict &verdict : verdicts) {
        QJsonObject input{{"input", verdict.input},
                          {"rmsNoiseV", verdict.rmsVolts},
                          {"meanV", verdict.meanVolts},
                          {"result", VerdictText(verdict.verdict)}};
        if (verdict.limit) {
            input.insert("maxRmsNoiseV", verdict.limit->maxRmsVolts);
            input.insert("maxAbsMeanV", verdict.limit->maxAbsMeanVolts);
        }
        inputs.append(input);
    }
    return inputs;
}

QJsonObject summaryJson(const std::vector<std::unique_ptr<BoardRun>> &runs) {
    const auto good =
        std::count_if(runs.begin(), runs.end(), [](const auto &run) { return succeeded(*run); });
    return {{"boards", static_cast<int>(runs.size())},
            {"succeeded", static_cast<int>(good)},
            {"failed", static_cast<int>(runs.size() - good)},
            {"exitStatus", BatchStatus(runs)}};
}

QByteArray csvField(const QString &text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n'))
        return text.toUtf8();
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

QByteArray csvLine(const QStringList &fields) {
    QByteArrayList line;
    for (const QString &field : fields)
        line << csvField(field);
    return line.join(',') + '\n';
}

QString number(double value) {
    return QString::number(value, 'g', 6);
}
} // namespace

int BatchStatus(const std::vector<std::unique_ptr<BoardRun>> &runs) {
    const auto good =
        std::count_if(runs.begin(), runs.end(), [](const auto &run) { return succeeded(*run); });
    if (good == static_cast<std::ptrdiff_t>(runs.size()))
        return exit_code::kOk;
    return good == 0 ? exit_code::kNoBoardSucceeded : exit_code::kSomeBoardsFailed;
}

void WriteBatchText(std::ostream &out, const std::vector<std::unique_ptr<BoardRun>> &runs) {
    QList<QStringList> rows{{QStringLiteral("BOARD"), QStringLiteral("CHIP"),
                             QStringLiteral("EXIT"), QStringLiteral("RESULT")}};
    for (const auto &run : runs) {
        out << "== " << run->found.path.toStdString() << "  " << run->chip.toStdString();
        if (!run->identity.isEmpty() && run->identity != run->found.path)
            out << "  " << run->identity.toStdString();
        out << '\n' << run->out.str();
        rows.append({run->found.path, run->chip, QString::number(run->status), outcomeText(*run)});
    }
    qsizetype widths[3] = {0, 0, 0};
    for (const QStringList &row : rows) {
        for (int i = 0; i < 3; ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    out << '\n';
    for (const QStringList &row : rows) {
        QString line;
        for (int i = 0; i < 3; ++i)
            line += row[i].leftJustified(widths[i] + 2);
        out << (line + row[3]).toStdString() << '\n';
    }
    const QJsonObject summary = summaryJson(runs);
    out << summary["succeeded"].toInt() << " of " << runs.size() << " boards succeeded.\n";
}

void WriteBatchJson(std::ostream &out, const std::vector<std::unique_ptr<BoardRun>> &runs) {
    for (const auto &run : runs) {
        QJsonObject board{{"board", run->found.path},
                          {"chip", run->chip},
                          {"identity", run->identity},
                          {"exitStatus", run->status},
                          {"messages", QJsonArray::fromStringList(run->console->messages())},
                          {"result", resultOf(*run)}};
        if (run->verdicts) {
            board.insert("limits", limitsResult(*run));
            board.insert("inputs", verdictsJson(*run->verdicts));
        }
        out << QJsonDocument(board).toJson(QJsonDocument::Compact).toStdString() << '\n';
    }
    out << QJsonDocument(QJsonObject{{"summary", summaryJson(runs)}})
               .toJson(QJsonDocument::Compact)
               .toStdString()
        << '\n';
}

QByteArray BatchReportCsv(const std::vector<std::unique_ptr<BoardRun>> &runs) {
    QByteArray csv =
        csvLine({QStringLiteral("board"), QStringLiteral("identity"), QStringLiteral("chip"),
                 QStringLiteral("input"), QStringLiteral("rms_noise_V"), QStringLiteral("mean_V"),
                 QStringLiteral("max_rms_noise_V"), QStringLiteral("max_abs_mean_V"),
                 QStringLiteral("result"), QStringLiteral("exit_status")});
    for (const auto &run : runs) {
        for (const InputVerdict &verdict : run->verdicts.value_or(std::vector<InputVerdict>{})) {
            csv += csvLine({run->found.path, run->identity, run->chip, verdict.input,
                            number(verdict.rmsVolts), number(verdict.meanVolts),
                            verdict.limit ? number(verdict.limit->maxRmsVolts) : QString(),
                            verdict.limit ? number(verdict.limit->maxAbsMeanVolts) : QString(),
                            VerdictText(verdict.verdict), QString()});
        }
    }
    // A row per board: its input column says "all".
    for (const auto &run : runs) {
        csv += csvLine({run->found.path, run->identity, run->chip, QStringLiteral("all"), QString(),
                        QString(), QString(), QString(), limitsResult(*run),
                        QString::number(run->status)});
    }
    return csv;
}

QByteArray BatchReportJson(const std::vector<std::unique_ptr<BoardRun>> &runs) {
    QJsonArray boards;
    for (const auto &run : runs) {
        boards.append(QJsonObject{
            {"board", run->found.path},
            {"identity", run->identity},
            {"chip", run->chip},
            {"result", limitsResult(*run)},
            {"exitStatus", run->status},
            {"messages", QJsonArray::fromStringList(run->console->messages())},
            {"inputs", verdictsJson(run->verdicts.value_or(std::vector<InputVerdict>{}))}});
    }
    return QJsonDocument(QJsonObject{{"boards", boards}, {"summary", summaryJson(runs)}}).toJson();
}

} // namespace cli
