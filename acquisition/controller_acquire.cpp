// The "Start get ADC data" button and the "Data Count" edit.

#include "acquisition_controller.h"

#include "acquisition_messages.h"
#include "data_count.h"
#include "platform/busy_flags.h"
#include "samples.h"
#include "statistics.h"
#include "transfer.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>

#include <algorithm>
#include <new>

void AcquisitionController::OnStartAcquisition() {
    if (!m_hooks.panelExists || !m_hooks.panelExists())
        return;
    const BusyGuard guard(g_acquiring);
    if (!guard)
        return;
    const StartCount start = CountForStart(m_controls.dataCount->text());
    if (start.showDefault)
        m_controls.dataCount->setText(QStringLiteral("45"));
    m_controls.start->setEnabled(false);
    if (m_hooks.refreshFromChip)
        m_hooks.refreshFromChip();
    acquire(start.count);
    m_controls.start->setEnabled(true);
}

bool AcquisitionController::acquire(int count) {
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

    TransferHooks hooks;
    hooks.owner = m_window;
    hooks.setProgress = [progress = m_controls.progress](int percent) {
        progress->setValue(percent);
    };
    hooks.pumpEvents =
        m_hooks.pumpEvents ? m_hooks.pumpEvents : [] { QCoreApplication::processEvents(); };
    hooks.pumpIntervalMs = m_hooks.pumpIntervalMs;
    if (TransferSamples(m_rawItems.data(), count, hooks) != 0)
        return false;

    g_sampleRecord.assign(m_rawItems.data(), count);
    UpdateStatistics(g_samples, m_chartState);
    showStatistics();
    RedrawChart();
    emit samplesAcquired(g_samples);
    return true;
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
