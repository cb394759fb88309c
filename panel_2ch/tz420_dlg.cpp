#include "tz420_dlg.h"

#include "chips/vxc5420/chip_commands.h"
#include "chips/vxc5420/profile_2ch.h"
#include "tz420_all_dlg.h"
#include "tz420_mux_dlg.h"

#include "link/frames.h"
#include "link/protocol.h"
#include "panel_common/combo_fill.h"
#include "platform/busy_flags.h"
#include "platform/message_service.h"

#include <QComboBox>
#include <QPushButton>
#include <QTabBar>

using namespace panel_common;
using namespace vxc5420;

TZ420Dlg::TZ420Dlg(QWidget *parent)
    : CRegisterPanel(parent, kProfileLayout, {kTabControl, kWriteButton, kReadButton}) {
    // Every choice counts, also of the mode shown: choosing it again retries a failed command.
    m_modeList = addList(
        kModeList, QStringLiteral("Mode"), [this] { OnModeChange(); }, ListChoice::TalksToChip);
    m_pgaList = addList(kPgaList, QStringLiteral("PGA Gain"), [this] { OnPgaChange(); });
    m_rateList = addList(kRateList, QStringLiteral("Data Rate"), [this] { OnRateChange(); });
}

TZ420Dlg::~TZ420Dlg() = default;

void TZ420Dlg::InitPanel() {
    m_frame.tabs->addTab(QStringLiteral("MUX"));
    m_frame.tabs->addTab(QStringLiteral("All Regs"));
    connect(m_frame.tabs, &QTabBar::currentChanged, this, [this](int tab) { OnTabSelChange(tab); });
    m_muxPage = new TZ420MUXDlg(m_frame.pageArea);
    m_allPage = new TZ420ALLDlg(m_frame.pageArea);
    m_muxPage->OnInitDialog();
    m_allPage->OnInitDialog();
    placePage(m_muxPage, kMux);
    placePage(m_allPage, kSta);
    m_allPage->hide();

    // The board starts in mode 1: nothing is sent for it.
    FillAndSelectFirst(m_modeList, ModeItems);
    m_mode = m_appliedMode = kFirstMode;
    // Mode 1 has a fixed gain and rate.
    m_pgaList->setEnabled(false);
    m_rateList->setEnabled(false);
    FillAndSelectFirst(m_pgaList, PgaItems);
    FillAndSelectFirst(m_rateList, RateItems);
    FinishStart(m_allPage);
}

void TZ420Dlg::SelectPgaFromCurrent() {
    SelectByCode(m_pgaList, PgaCode(m_current[kCr1]));
}

void TZ420Dlg::SelectRateFromCurrent() {
    SelectByCode(m_rateList, RateCode(m_current[kCr1]));
}

void TZ420Dlg::OnModeChange() {
    const int position = m_modeList->currentIndex();
    if (position < 0)
        return;
    if (board().acquiring()) {
        // A command now would land in the middle of the sample stream and spoil both.
        m_modeList->setCurrentIndex(m_mode - 1);
        return;
    }
    // Only what the lists show changes; the pending CR1 stays as it is.
    FixedSelection fixed;
    const bool isFixed = FixedModeSelection(position + 1, fixed);
    if (isFixed) {
        m_pgaList->setCurrentIndex(fixed.pgaPosition);
        m_rateList->setCurrentIndex(fixed.ratePosition);
    }
    m_pgaList->setEnabled(!isFixed);
    m_rateList->setEnabled(!isFixed);

    m_mode = position + 1;
    if (m_mode == m_appliedMode)
        return;
    if (board().sendCommand(command::kSetMode, static_cast<uint8_t>(m_mode)) == 0) {
        m_appliedMode = m_mode;
        emit chipStateChanged();
        return;
    }
    // m_appliedMode keeps the old mode, so choosing this entry again retries.
    platform::ShowMessage(this, SetModeFailureText(board().chipName()), QStringLiteral("Error"));
}

void TZ420Dlg::OnPgaChange() {
    m_pending[kCr1] = WithPgaCode(m_pending[kCr1], m_pgaList->currentData().toInt());
    m_allPage->ShowPending();
}

void TZ420Dlg::OnRateChange() {
    m_pending[kCr1] = WithRateCode(m_pending[kCr1], m_rateList->currentData().toInt());
    m_allPage->ShowPending();
}

void TZ420Dlg::OnTabSelChange(int tab) {
    if (!m_allPage)
        return;
    m_muxPage->setVisible(tab == kTabMux);
    m_allPage->setVisible(tab == kTabAll);
    if (tab == kTabAll)
        m_allPage->ShowPending();
}
