#pragma once
// What a chip panel's host does the same way for either chip: its frame, the two register
// images, the first read at start, "Read", RefreshFromChip and the profile commands. The
// images belong here; the host and its pages work on them and show the chip's values in their
// own lists and pages.

#include "chips/common/register_profile.h"
#include "evm_dialog.h"
#include "panel_frame.h"
#include "register_images.h"

#include <cstdint>
#include <functional>

class CPanelPage;
class CRegisterTablePage;
class QComboBox;

class CRegisterPanel : public CEVMDialog, public panel_common::RegisterImages {
    Q_OBJECT
  public:
    ~CRegisterPanel() override;

    // Both images to zero, then the host's InitPanel; true.
    bool OnInitDialog() override;

    // The profile holds the chip's values as last read or confirmed; a loaded profile waits in
    // the pending image while every control keeps showing the chip.
    int LoadProfile(const QString &path) override;
    int SaveProfile(const QString &path) override;
    // Reads every register and shows it; the acquisition calls it with its own flag held, so
    // no flag is looked at here.
    int RefreshFromChip() override;
    Reread RereadChip() override;
    QString ChipName() const override;
    std::vector<uint8_t> CurrentRegisters() const override;

    // 0, or the status of the first read that failed (after telling the user).
    int ReadAllRegisters();
    void OnRead();
    // "Write": the selected tab's registers, as one register operation.
    void OnWrite();
    // Sets the lists and every page from the current image.
    virtual void RefreshAllPages() = 0;

  protected:
    // The control ids of the frame's tab bar and buttons.
    struct FrameIds {
        int tabs;
        int writeButton;
        int readButton;
    };

    // Builds the host's tabs, pages and lists, reads the chip and ends with FinishStart.
    virtual void InitPanel() = 0;
    // What "Write" sends from the tab; runs with the board's registerBusy flag held.
    virtual void WriteFromTab(int tab) = 0;

    // The images get one byte per register of the layout.
    CRegisterPanel(QWidget *parent, const panel_common::ProfileLayout &layout, FrameIds ids);

    // What choosing an item of a list does: change the pending image only, or talk to the chip
    // at once (such a list takes the wheel only while it has focus).
    enum class ListChoice { EditsPending, TalksToChip };

    // A list under its label in the frame, registered under id. handler runs whenever the user
    // chooses an item, also the one already shown.
    QComboBox *addList(int id, const QString &label, const std::function<void()> &handler,
                       ListChoice choice = ListChoice::EditsPending);
    // Puts page into the page area, pointed at both images from register address on.
    void placePage(CPanelPage *page, int address);
    // The end of the host's start: the first read, the pending image from it, and the
    // "All Regs" Write column from what the read showed.
    void FinishStart(CRegisterTablePage *allPage);

    panel_common::PanelFrame m_frame;

  private:
    const panel_common::ProfileLayout &m_layout;
    CRegisterTablePage *m_allPage = nullptr; // its Write column follows dropped choices
};
