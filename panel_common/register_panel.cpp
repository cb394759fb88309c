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
    : CEVMDialog(parent), m_frame(PanelFrame::Build(this)), m_layout(layout) {
    registerControl(ids.tabs, m_frame.tabs);
    registerControl(ids.writeButton, m_frame.writeButton);
    registerControl(ids.readButton, m_frame.readButton);
    connect(m_frame.readButton, &QPushButton::clicked, this, [this] { OnRead(); });
    connect(m_frame.writeButton, &QPushButton::clicked, this, [this] { OnWrite(); });
}

CRegisterPanel::~CRegisterPanel() = default;

bool CRegisterPanel::OnInitDialog() {
    std::fill_n(m_currentImage, m_layout.count, 0);
    std::fill_n(m_pendingImage, m_layout.count, 0);
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

void CRegisterPanel::SetImagePointers(uint8_t *current, uint8_t *pending) {
    m_currentImage = current;
    m_pendingImage = pending;
}

int CRegisterPanel::ReadAllRegisters() {
    return ReadRegistersOrTell(this, m_currentImage, m_layout.count);
}

void CRegisterPanel::OnRead() {
    RunRegisterOperation(m_frame.readButton, [this] {
        if (ReadAllRegisters() == 0)
            RefreshAllPages();
    });
}

void CRegisterPanel::OnWrite() {
    RunRegisterOperation(m_frame.writeButton,
                         [this] { WriteFromTab(m_frame.tabs->currentIndex()); });
}

int CRegisterPanel::RefreshFromChip() {
    const int status = ReadAllRegisters();
    if (status == 0)
        RefreshAllPages();
    return status;
}

void CRegisterPanel::FinishStart(CRegisterTablePage *allPage) {
    OnRead();
    std::copy_n(m_currentImage, m_layout.count, m_pendingImage);
    allPage->OnSync();
}

int CRegisterPanel::SaveProfile(const QString &path) {
    // The chip's state is saved, not edits that were never written.
    return SaveProfileOrTell(this, path, m_layout, m_currentImage);
}

int CRegisterPanel::LoadProfile(const QString &path) {
    if (LoadProfileOrTell(this, path, m_layout, m_pendingImage))
        RefreshAllPages();
    return 0;
}
