#include "tz410_dlg.h"

#include "platform/busy_flags.h"
#include "combo_fill.h"
#include "tz410_all_dlg.h"
#include "tz410_cal_dlg.h"
#include "tz410_clock_dlg.h"
#include "tz410_io_dlg.h"
#include "tz410_mux_dlg.h"
#include "tz410_power_dlg.h"
#include "tz410_status_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

using namespace vxc5480;

TZ410Dlg::TZ410Dlg(QWidget *parent) : CEVMDialog(parent) {
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    auto *layout = new QVBoxLayout(this);
    auto *lists = new QGridLayout;
    m_pgaList = new QComboBox(this);
    m_rateList = new QComboBox(this);
    lists->addWidget(new QLabel(QStringLiteral("PGA Gain"), this), 0, 0);
    lists->addWidget(m_pgaList, 0, 1);
    lists->addWidget(new QLabel(QStringLiteral("Effective Data Rate"), this), 1, 0);
    lists->addWidget(m_rateList, 1, 1);
    layout->addLayout(lists);
    m_tabs = new QTabBar(this);
    m_tabs->setExpanding(false);
    layout->addWidget(m_tabs);
    m_pageArea = new QWidget(this);
    auto *pages = new QGridLayout(m_pageArea);
    pages->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pageArea, 1);
    auto *buttons = new QHBoxLayout;
    m_writeButton = new QPushButton(QStringLiteral("Write"), this);
    m_readButton = new QPushButton(QStringLiteral("Read"), this);
    buttons->addWidget(m_writeButton);
    buttons->addWidget(m_readButton);
    layout->addLayout(buttons);

    registerControl(kPgaList, m_pgaList);
    registerControl(kRateList, m_rateList);
    registerControl(kTabControl, m_tabs);
    registerControl(kWriteButton, m_writeButton);
    registerControl(kReadButton, m_readButton);
    connect(m_pgaList, &QComboBox::activated, this, [this] { OnPgaChange(); });
    connect(m_rateList, &QComboBox::activated, this, [this] { OnRateChange(); });
    connect(m_writeButton, &QPushButton::clicked, this, [this] { OnWrite(); });
    connect(m_readButton, &QPushButton::clicked, this, [this] { OnRead(); });
}

TZ410Dlg::~TZ410Dlg() = default;

bool TZ410Dlg::OnInitDialog() {
    m_current.fill(0);
    m_pending.fill(0);
    InitPanel();
    return true;
}

void TZ410Dlg::InitPanel() {
    // "&&" shows as "&": a single one would mark a mnemonic.
    for (const char *name : {"MUX", "Clocks", "GPIO", "Power && Ref", "Cal", "Status", "All Regs"})
        m_tabs->addTab(QString::fromLatin1(name));
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) { OnTabSelChange(tab); });
    PlacePages();
    FillCombo(m_pgaList, PgaGainItems);
    m_pgaList->setCurrentIndex(0);
    FillCombo(m_rateList, DataRateItems);
    m_rateList->setCurrentIndex(0);

    if (!g_acquiring && !g_registerBusy) {
        g_registerBusy = 1;
        m_readButton->setEnabled(false);
        if (ReadAllRegisters() == 0)
            RefreshAllPages();
        g_registerBusy = 0;
        m_readButton->setEnabled(true);
    }
    m_pending = m_current;
    // The Write column starts from what the first read showed, where it showed anything.
    m_allPage->OnSync();
}

void TZ410Dlg::PlacePages() {
    auto *grid = static_cast<QGridLayout *>(m_pageArea->layout());
    auto place = [&](auto *page, int address) {
        grid->addWidget(page, 0, 0);
        // Every page keeps its room while hidden, so the panel's size does not follow the tab.
        QSizePolicy policy = page->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        page->setSizePolicy(policy);
        page->SetImages(m_current.data() + address, m_pending.data() + address);
        return page;
    };
    m_muxPage = place(new TZ410MUXDlg(m_pageArea), kMux);
    m_clockPage = place(new TZ410CLOCKDlg(m_pageArea), kAdcon);
    m_ioPage = place(new TZ410IODlg(m_pageArea), kIo);
    m_powerPage = place(new TZ410POWERDlg(m_pageArea), kAdcon);
    m_calPage = place(new TZ410CALDlg(m_pageArea), kOfc0);
    m_statusPage = place(new TZ410STATUSDlg(m_pageArea), kStatus);
    m_allPage = place(new TZ410ALLDlg(m_pageArea), kStatus);
    m_muxPage->OnInitDialog();
    m_clockPage->OnInitDialog();
    m_powerPage->OnInitDialog();
    m_calPage->OnInitDialog();
    m_calPage->SetAllPage(m_allPage);
    m_allPage->OnInitDialog();
    for (int tab = 0; tab < kTabCount; ++tab)
        page(tab)->setVisible(tab == kTabMux);
}

TZ410Page *TZ410Dlg::page(int tab) const {
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
    m_writeButton->setVisible(tab != kTabCal);
    m_readButton->setVisible(tab != kTabCal);
    if (tab == kTabAll)
        m_allPage->ShowPending();
}
