// "Run", the table and its bar plot as rows arrive, and "Export...".

#include "scan_dlg.h"

#include "scan_bar_plot.h"
#include "scan_report.h"
#include "scan_table.h"

#include "analysis/doubtful_mark.h"
#include "analysis/note_label.h"
#include "link/board_session.h"
#include "link/port_worker.h"
#include "platform/file_dialogs.h"
#include "platform/message_service.h"
#include "platform/off_thread.h"

#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QSpinBox>
#include <QTableWidget>

#include <algorithm>
#include <utility>

void CScanDlg::OnRun() {
    if (m_running || !m_layout)
        return;
    // The chip's facts as the panel has them now: gain and settling follow its registers.
    const std::optional<ScanPanelFacts> facts =
        m_hooks.panelFacts ? m_hooks.panelFacts() : std::nullopt;
    if (!facts || facts->mux != m_layout) {
        OnPanelChanged();
        return;
    }
    showFacts(facts->facts);
    scan::ScanSettings settings;
    settings.inputs = tickedInputs();
    settings.count = m_count->value();
    settings.discard = m_discard->value();
    settings.repeats = m_repeats->value();
    const QString refused = scan::CheckScanSettings(settings);
    if (!refused.isEmpty()) {
        showState(refused);
        return;
    }

    // Refused before anything is cleared: the last scan's table and its Export stay.
    BoardSession *board = m_hooks.board ? m_hooks.board() : nullptr;
    if (!board) {
        OnPanelChanged();
        return;
    }
    m_busy.emplace(board->busy());
    if (!*m_busy) {
        m_busy.reset();
        showBusy();
        return;
    }
    m_outcome = {};
    for (const scan::ScanInput &input : settings.inputs)
        m_outcome.rows.push_back({input, {}});
    showRows();
    m_stopRequested = false;
    setRunning(true);
    showState(settings.inputs.size() == 1 ? tr("Scanning 1 input.")
                                          : tr("Scanning %1 inputs.").arg(settings.inputs.size()));
    // The layouts are the chip cores' own constants: the pointer outlives any panel.
    const panel_common::MuxLayout *layout = m_layout;
    BoardLink &link = board->link();
    m_worker->start(link, [this, &link, settings, layout] { runScan(link, settings, *layout); });
    emit started();
}

void CScanDlg::runScan(BoardLink &link, const scan::ScanSettings &settings,
                       const panel_common::MuxLayout &layout) {
    scan::ScanHooks hooks;
    hooks.owner = this;
    hooks.stopRequested = [this] { return m_stopRequested.load(); };
    hooks.progress = [this](const scan::ScanProgress &at) {
        QMetaObject::invokeMethod(
            this,
            [this, at] {
                if (!m_stopRequested)
                    ShowNote(m_progress, scan::ScanProgressText(at), tr("Progress"));
            },
            Qt::QueuedConnection);
    };
    hooks.rowMeasured = [this](int input, const scan::ScanRow &row) {
        QMetaObject::invokeMethod(
            this,
            [this, input, row] {
                m_outcome.rows[size_t(input)] = row;
                showRow(input);
            },
            Qt::QueuedConnection);
    };
    // The messages of a fault wait for this window's thread.
    platform::HeldMessages held;
    m_ended = scan::RunHeldScan(link, settings, layout, hooks);
    m_endMessages = held.take();
}

void CScanDlg::onScanEnded() {
    // As when the scan ran on this thread: its message, then the end, with the board free.
    platform::ShowMessages(std::exchange(m_endMessages, {}));
    m_busy.reset();
    showEnd(std::exchange(m_ended, {}));
}

void CScanDlg::showEnd(scan::ScanOutcome outcome) {
    m_outcome = std::move(outcome);
    ShowNote(m_progress, QString());
    showRows();
    setRunning(false);
    QString state = scan::ScanOutcomeText(m_outcome);
    if (m_outcome.boardAnswered && m_hooks.refreshPanel && m_hooks.refreshPanel())
        state += u' ' + tr("The chip's registers were not as the panel knew them: the panel "
                           "shows them as read and gave up its unwritten choices.");
    showState(state);
    emit finished();
}

void CScanDlg::showBusy() {
    const QString holder = m_hooks.boardHolder ? m_hooks.boardHolder() : QString();
    scan::ScanOutcome refused;
    refused.fault = scan::ScanFault::Busy;
    showState(
        holder.isEmpty()
            ? scan::ScanOutcomeText(refused)
            : tr("Not started: %1. Stop the capture first, or wait for its end.").arg(holder));
}

void CScanDlg::showRows() {
    m_table->setRowCount(int(m_outcome.rows.size()));
    for (int row = 0; row < int(m_outcome.rows.size()); ++row)
        showRow(row);
    if (m_outcome.rows.empty())
        m_plot->setBars({}, {}, QString());
}

void CScanDlg::showRow(int row) {
    if (!m_layout)
        return;
    const scan::ScanRow &scanRow = m_outcome.rows[size_t(row)];
    const double lsb = lsbVolts();
    const QStringList cells = scan::ScanRowCells(*m_layout, scanRow, lsb);
    const bool clipped = scan::SummarizeRow(scanRow).clipped > 0;
    for (int column = 0; column < cells.size(); ++column) {
        auto *item = m_table->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignVCenter |
                                   (column == scan::kInputColumn ? Qt::AlignLeft : Qt::AlignRight));
            m_table->setItem(row, column, item);
        }
        item->setText(cells[column]);
        item->setForeground(clipped ? QBrush(DoubtfulColour()) : QBrush());
        item->setToolTip(clipped ? tr("Figures of an input whose samples clipped") : QString());
    }
    // The bars follow the table: standard deviations, in microvolts when the scale is known.
    QStringList labels;
    std::vector<double> values;
    for (const scan::ScanRow &r : m_outcome.rows) {
        labels << scan::InputLabel(*m_layout, r.input);
        const scan::RowFigures f = scan::SummarizeRow(r);
        values.push_back(f.repeats == 0 ? -1.0 : lsb > 0 ? f.stdDev * lsb * 1e6 : f.stdDev);
    }
    m_plot->setBars(labels, values, lsb > 0 ? QStringLiteral("\u00B5V") : tr("codes"));
}

void CScanDlg::OnExport() {
    if (!m_layout || std::none_of(m_outcome.rows.begin(), m_outcome.rows.end(),
                                  [](const scan::ScanRow &r) { return !r.repeats.empty(); })) {
        platform::ShowMessage(this, tr("There is no scan to export yet."), tr("Export"));
        return;
    }
    const QString proposed =
        QDir(QDir::homePath())
            .filePath(
                QStringLiteral("ADC_scan_%1.csv")
                    .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"))));
    const QString path = platform::ChooseSaveFile(
        this, proposed, {tr("CSV file(*.csv)"), tr("All Format(*.*)")}, QStringLiteral("csv"));
    if (!path.isEmpty())
        ExportTo(path);
}

bool CScanDlg::ExportTo(const QString &csvPath) {
    if (!m_layout)
        return false;
    const std::string csv = scan::ScanCsv(*m_layout, m_outcome.rows, lsbVolts());
    const platform::FileError error =
        platform::WriteWholeFileOffThread(csvPath, QByteArray(csv.data(), qsizetype(csv.size())));
    if (error.failed()) {
        platform::ShowFileError(this, error);
        return false;
    }
    showState(tr("Exported to %1.").arg(QDir::toNativeSeparators(csvPath)));
    return true;
}
