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
    const StartCount start = CountForStart(m_dataCount ? m_dataCount->text() : QString());
    if (start.showDefault && m_dataCount)
        m_dataCount->setText(QStringLiteral("45"));
    if (m_start)
        m_start->setEnabled(false);
    if (m_hooks.refreshFromChip)
        m_hooks.refreshFromChip();
    acquire(start.count);
    if (m_start)
        m_start->setEnabled(true);
}

bool AcquisitionController::acquire(int count) {
    m_rawItems.clear();
    // More than 65535 cannot be asked of the board: its request carries the count in 16 bits.
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
    QPointer<QProgressBar> progress = m_progress;
    hooks.setProgress = [progress](int percent) {
        if (progress)
            progress->setValue(percent);
    };
    hooks.pumpEvents =
        m_hooks.pumpEvents ? m_hooks.pumpEvents : [] { QCoreApplication::processEvents(); };
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
    if (!m_scrollBar)
        return;
    m_scrollBar->setRange(0, std::max(0, count - m_view.scroll.page));
    m_scrollBar->setPageStep(m_view.scroll.page);
    m_scrollBar->setValue(m_view.scroll.position);
}

void AcquisitionController::OnDataCountChange() {
    if (!m_dataCount || !DataCountTooLarge(m_dataCount->text()))
        return;
    acquisition_message::Tell(m_window, acquisition_message::DataCountTooLarge());
    m_dataCount->setText(QStringLiteral("65535"));
}
