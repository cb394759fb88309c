#include "tz410_dlg.h"

#include "chips/vxc5480/profile_8ch.h"
#include "panel_common/combo_fill.h"
#include "tz410_all_dlg.h"
#include "tz410_cal_dlg.h"
#include "tz410_clock_dlg.h"
#include "tz410_io_dlg.h"
#include "tz410_mux_dlg.h"
#include "tz410_power_dlg.h"
#include "tz410_status_dlg.h"

#include <QComboBox>
#include <QPushButton>
#include <QTabBar>

using namespace vxc5480;
using panel_common::FillAndSelectFirst;
using panel_common::SelectByCode;

TZ410Dlg::TZ410Dlg(QWidget *parent)
    : CRegisterPanel(parent, kProfileLayout, {kTabControl, kWriteButton, kReadButton}) {
    m_pgaList = addList(kPgaList, QStringLiteral("PGA Gain"), [this] { OnPgaChange(); });
    m_rateList =
        addList(kRateList, QStringLiteral("Effective Data Rate"), [this] { OnRateChange(); });
}

TZ410Dlg::~TZ410Dlg() = default;

void TZ410Dlg::InitPanel() {
    // "&&" shows as "&": a single one would mark a mnemonic.
    for (const char *name : {"MUX", "Clocks", "GPIO", "Power && Ref", "Cal", "Status", "All Regs"})
        m_frame.tabs->addTab(QString::fromLatin1(name));
    connect(m_frame.tabs, &QTabBar::currentChanged, this, [this](int tab) { OnTabSelChange(tab); });
    PlacePages();
    FillAndSelectFirst(m_pgaList, PgaGainItems);
    FillAndSelectFirst(m_rateList, DataRateItems);
    FinishStart(m_allPage);
}

void TZ410Dlg::PlacePages() {
    auto place = [&](auto *page, int address) {
        placePage(page, address);
        return page;
    };
    m_muxPage = place(new TZ410MUXDlg(m_frame.pageArea), kMux);
    m_clockPage = place(new TZ410CLOCKDlg(m_frame.pageArea), kAdcon);
    m_ioPage = place(new TZ410IODlg(m_frame.pageArea), kIo);
    m_powerPage = place(new TZ410POWERDlg(m_frame.pageArea), kAdcon);
    m_calPage = place(new TZ410CALDlg(m_frame.pageArea), kOfc0);
    m_statusPage = place(new TZ410STATUSDlg(m_frame.pageArea), kStatus);
    m_allPage = place(new TZ410ALLDlg(m_frame.pageArea), kStatus);
    m_muxPage->OnInitDialog();
    m_clockPage->OnInitDialog();
    m_powerPage->OnInitDialog();
    m_calPage->OnInitDialog();
    m_calPage->SetAllPage(m_allPage);
    m_allPage->OnInitDialog();
    for (int tab = 0; tab < kTabCount; ++tab)
        page(tab)->setVisible(tab == kTabMux);
}

CPanelPage *TZ410Dlg::page(int tab) const {
    switch (tab) {
    case kTabMux:
        return m_muxPage;
    case kTabClocks:
        return m_clockPage;
    case kTabGpio:
        return m_ioPage;
    case kTabPower:
        return m_powerPage;
    case kTabCal:
        return m_calPage;
    case kTabStatus:
        return m_statusPage;
    case kTabAll:
        return m_allPage;
    default:
        return nullptr;
    }
}

void TZ410Dlg::SelectPgaFromCurrent() {
    SelectByCode(m_pgaList, PgaCode(m_current[kAdcon]));
}

void TZ410Dlg::SelectRateFromCurrent() {
    SelectByCode(m_rateList, m_current[kDrate]);
}

void TZ410Dlg::OnPgaChange() {
    m_pending[kAdcon] = WithPgaCode(m_pending[kAdcon], m_pgaList->currentData().toInt());
    m_allPage->ShowPending();
}

void TZ410Dlg::OnRateChange() {
    m_pending[kDrate] = static_cast<uint8_t>(m_rateList->currentData().toInt());
    m_allPage->ShowPending();
}

void TZ410Dlg::OnTabSelChange(int tab) {
    if (!m_allPage)
        return;
    for (int t = 0; t < kTabCount; ++t)
        page(t)->setVisible(t == tab);
    m_frame.writeButton->setVisible(tab != kTabCal);
    m_frame.readButton->setVisible(tab != kTabCal);
    if (tab == kTabAll)
        m_allPage->ShowPending();
}
