// The "Start get ADC data" button and the "Data Count" edit.

#include "acquisition_controller.h"

#include "acquisition_messages.h"
#include "data_count.h"
#include "platform/busy_flags.h"
#include "samples.h"
#include "statistics.h"
#include "transfer.h"

#include "link/board_session.h"
#include "link/port_worker.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMetaObject>
#include <QProgressBar>
#include <QScrollBar>

#include <algorithm>
#include <new>
#include <utility>

void AcquisitionController::OnStartAcquisition() {
    if (!m_hooks.panelExists || !m_hooks.panelExists())
        return;
    const std::shared_ptr<BoardSession> board = m_hooks.board ? m_hooks.board() : nullptr;
    if (!board)
        return;
    const BusyGuard guard(board->busy().acquiring);
    if (!guard)
        return;
    const StartCount start = CountForStart(m_controls.dataCount->text());
    if (start.showDefault)
        m_controls.dataCount->setText(QStringLiteral("45"));
    m_controls.start->setEnabled(false);
    if (m_hooks.refreshFromChip)
        m_hooks.refreshFromChip();
    acquire(board->link(), start.count);
    m_controls.start->setEnabled(true);
}

bool AcquisitionController::acquire(BoardLink &link, int count) {
    m_rawItems.clear();
    // More than one request carries cannot be asked of the board.
    if (count < 1 || count > kMaxDataCount)
        return false;
    try {
        m_rawItems.assign(static_cast<size_t>(count) * 4, 0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    prepareScrollBar(count);
    if (!transfer(link, count))
        return false;

    g_sampleRecord.assign(m_rawItems.data(), count);
    UpdateStatistics(g_samples, m_chartState);
    showStatistics();
    RedrawChart();
    emit samplesAcquired(g_samples);
    return true;
}

bool AcquisitionController::transfer(BoardLink &link, int count) {
    QProgressBar *bar = m_controls.progress;
    TransferHooks hooks;
    hooks.owner = m_window;
    // From the transfer's thread: posted in order, so the bar still steps through every value.
    hooks.setProgress = [bar](int percent) {
        QMetaObject::invokeMethod(
            bar, [bar, percent] { bar->setValue(percent); }, Qt::QueuedConnection);
    };
    hooks.abort = &m_abortTransfer;
    m_abortTransfer = false;
    TransferReport report;
    const bool started =
        m_transfer->start(link, [&report, &link, items = m_rawItems.data(), count, hooks] {
            report = ReceiveItems(link, items, count, hooks);
        });
    if (!started)
        return false; // not while one runs, which the busy flag already rules out
    // Should the application quit meanwhile, the items are of no more use.
    m_transfer->waitWithEvents([this] { abortTransfer(); });
    // Told here, after whatever ran meanwhile (a detection that ended the transfer among them).
    hooks.setProgress = [bar](int percent) { bar->setValue(percent); };
    if (std::exchange(m_quietEnd, false))
        return false;
    return TellTransferEnd(report, hooks) == 0;
}

bool AcquisitionController::transferRunning() const {
    return m_transfer->running();
}

void AcquisitionController::abortTransfer() {
    m_abortTransfer = true;
}

void AcquisitionController::waitForTransferEnd() {
    m_transfer->waitWithEvents();
}

void AcquisitionController::cancelTransfer() {
    if (!transferRunning())
        return;
    m_quietEnd = true;
    endTransfer();
}

void AcquisitionController::endTransfer() {
    if (!transferRunning())
        return;
    abortTransfer();
    waitForTransferEnd();
}

void AcquisitionController::prepareScrollBar(int count) {
    SetScrollRange(m_view, count);
    QScrollBar *bar = m_controls.scrollBar;
    bar->setRange(0, std::max(0, count - m_view.scroll.page));
    bar->setPageStep(m_view.scroll.page);
    bar->setValue(m_view.scroll.position);
}

void AcquisitionController::OnDataCountChange() {
    if (!DataCountTooLarge(m_controls.dataCount->text()))
        return;
    acquisition_message::Tell(m_window, acquisition_message::DataCountTooLarge());
    m_controls.dataCount->setText(QString::number(kMaxDataCount));
}
