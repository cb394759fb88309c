#include "register_panel.h"

#include "register_table_page.h"
#include "register_transfer.h"
#include "wheel_guard.h"

#include <QComboBox>
#include <QPushButton>
#include <QTabBar>

#include <algorithm>

using namespace panel_common;

CRegisterPanel::CRegisterPanel(QWidget *parent, const ProfileLayout &layout, FrameIds ids)
    : CEVMDialog(parent), RegisterImages(layout.count), m_frame(PanelFrame::Build(this)),
      m_layout(layout) {
    registerControl(ids.tabs, m_frame.tabs);
    registerControl(ids.writeButton, m_frame.writeButton);
    registerControl(ids.readButton, m_frame.readButton);
    connect(m_frame.readButton, &QPushButton::clicked, this, [this] { OnRead(); });
    connect(m_frame.writeButton, &QPushButton::clicked, this, [this] { OnWrite(); });
}

CRegisterPanel::~CRegisterPanel() = default;

bool CRegisterPanel::OnInitDialog() {
    std::fill(m_current.begin(), m_current.end(), 0);
    std::fill(m_pending.begin(), m_pending.end(), 0);
    InitPanel();
    return true;
}

QComboBox *CRegisterPanel::addList(int id, const QString &label,
                                   const std::function<void()> &handler, ListChoice choice) {
    QComboBox *list = m_frame.addList(label);
    if (choice == ListChoice::TalksToChip)
        TakeWheelOnlyWithFocus(list);
    registerControl(id, list);
    connect(list, &QComboBox::activated, this, [handler] { handler(); });
    return list;
}

void CRegisterPanel::placePage(CPanelPage *page, int address) {
    m_frame.placePage(page, m_current.data() + address, m_pending.data() + address);
    page->SetBoard(&board());
}

int CRegisterPanel::ReadAllRegisters() {
    return ReadRegistersOrTell(board(), this, m_current.data(), registerCount());
}

void CRegisterPanel::OnRead() {
    RunRegisterOperation(board(), m_frame.readButton, [this] {
        if (ReadAllRegisters() == 0)
            RefreshAllPages();
        emit chipStateChanged();
    });
}

void CRegisterPanel::OnWrite() {
    RunRegisterOperation(board(), m_frame.writeButton, [this] {
        WriteFromTab(m_frame.tabs->currentIndex());
        emit chipStateChanged();
    });
}

int CRegisterPanel::RefreshFromChip() {
    const int status = ReadAllRegisters();
    if (status == 0)
        RefreshAllPages();
    emit chipStateChanged();
    return status;
}

CEVMDialog::Reread CRegisterPanel::RereadChip() {
    const std::vector<uint8_t> known = m_current;
    Reread reread;
    reread.status = ReadAllRegisters();
    if (reread.status == 0 && m_current != known) {
        reread.choicesDropped = m_pending != known;
        std::copy(m_current.begin(), m_current.end(), m_pending.begin());
        RefreshAllPages();
        if (m_allPage)
            m_allPage->ShowPending();
    }
    emit chipStateChanged();
    return reread;
}

void CRegisterPanel::FinishStart(CRegisterTablePage *allPage) {
    m_allPage = allPage;
    OnRead();
    std::copy(m_current.begin(), m_current.end(), m_pending.begin());
    allPage->OnSync();
}

int CRegisterPanel::SaveProfile(const QString &path) {
    // The chip's state is saved, not edits that were never written.
    return SaveProfileOrTell(this, path, m_layout, m_current.data());
}

int CRegisterPanel::LoadProfile(const QString &path) {
    if (LoadProfileOrTell(this, path, m_layout, m_pending.data()))
        RefreshAllPages();
    return 0;
}

QString CRegisterPanel::ChipName() const {
    return QLatin1String(m_layout.chipName);
}

std::vector<uint8_t> CRegisterPanel::CurrentRegisters() const {
    return m_current;
}
