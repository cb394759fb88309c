#include "tz410_dlg.h"

#include "combo_fill.h"
#include "panel_look.h"
#include "platform/busy_flags.h"
#include "tz410_all_dlg.h"
#include "tz410_cal_dlg.h"
#include "tz410_clock_dlg.h"
#include "tz410_io_dlg.h"
#include "tz410_mux_dlg.h"
#include "tz410_power_dlg.h"
#include "tz410_status_dlg.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

using namespace vxc5480;

TZ410Dlg::TZ410Dlg(QWidget *parent) : CEVMDialog(parent) {
    setFont(PanelFont());
    // A dialog of its template's size with a static edge; the chart beside it stays clear.
    setFixedSize(kPanelSize);
    setAutoFillBackground(true);
    auto *edge = new QFrame(this);
    edge->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(edge);

    auto *layout = new QVBoxLayout(edge);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    auto *lists = new QGridLayout;
    lists->setHorizontalSpacing(10);
    lists->setVerticalSpacing(4);
    m_pgaList = new QComboBox(edge);
    m_rateList = new QComboBox(edge);
    for (QComboBox *list : {m_pgaList, m_rateList})
        list->setMinimumContentsLength(9);
    lists->addWidget(new QLabel(QStringLiteral("PGA Gain"), edge), 0, 0);
    lists->addWidget(m_pgaList, 0, 1);
    lists->addWidget(new QLabel(QStringLiteral("Effective Data Rate"), edge), 1, 0);
    lists->addWidget(m_rateList, 1, 1);
    lists->setColumnStretch(2, 1);
    layout->addLayout(lists);

    auto *tabsAndPages = new QVBoxLayout;
    tabsAndPages->setSpacing(0);
    m_tabs = new QTabBar(edge);
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    MakeTabsCompact(m_tabs);
    tabsAndPages->addWidget(m_tabs);
    auto *pageFrame = new QFrame(edge);
    pageFrame->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto *frameLayout = new QVBoxLayout(pageFrame);
    frameLayout->setContentsMargins(6, 6, 6, 6);
    m_pageArea = new QWidget(pageFrame);
    frameLayout->addWidget(m_pageArea);
    auto *pages = new QGridLayout(m_pageArea);
    pages->setContentsMargins(0, 0, 0, 0);
    tabsAndPages->addWidget(pageFrame, 1);
    layout->addLayout(tabsAndPages, 1);

    auto *buttons = new QHBoxLayout;
    m_writeButton = new QPushButton(QStringLiteral("Write"), edge);
    m_readButton = new QPushButton(QStringLiteral("Read"), edge);
    buttons->addStretch(1);
    for (QPushButton *button : {m_writeButton, m_readButton}) {
        // Hidden on the "Cal" tab without the pages growing into their place.
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        button->setMinimumWidth(80);
        buttons->addWidget(button);
    }
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
