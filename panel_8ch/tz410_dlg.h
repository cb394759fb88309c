#pragma once
// TZ410Dlg: the register panel of the VXC5480. It owns the two register images (the chip's
// values and the values to write), the seven pages that show and edit them, the gain and
// data-rate lists, and the Write and Read that move bytes between the images and the chip.

#include "register_map.h"

#include "app/evm_dialog.h"

class QComboBox;
class QPushButton;
class QTabBar;
class TZ410Page;
class TZ410MUXDlg;
class TZ410CLOCKDlg;
class TZ410IODlg;
class TZ410POWERDlg;
class TZ410CALDlg;
class TZ410STATUSDlg;
class TZ410ALLDlg;

class TZ410Dlg : public CEVMDialog {
    Q_OBJECT
  public:
    enum {
        kPgaList = 1007,
        kRateList = 1008,
        kTabControl = 1009,
        kWriteButton = 1010,
        kReadButton = 1011
    };

    explicit TZ410Dlg(QWidget *parent = nullptr);
    ~TZ410Dlg() override;

    bool OnInitDialog() override;
    int LoadProfile(const QString &path) override;
    int SaveProfile(const QString &path) override;
    int RefreshFromChip() override;

    // 0, or the status of the first read that failed (after telling the user).
    int ReadAllRegisters();
    void RefreshAllPages();
    void SelectPgaFromCurrent();
    void SelectRateFromCurrent();
    void PlacePages();
    void InitPanel();

    void OnTabSelChange(int tab);
    void OnWrite();
    void OnRead();
    void OnPgaChange();
    void OnRateChange();

    vxc5480::RegisterImage m_current{};
    vxc5480::RegisterImage m_pending{};

    TZ410MUXDlg *m_muxPage = nullptr;
    TZ410CLOCKDlg *m_clockPage = nullptr;
    TZ410IODlg *m_ioPage = nullptr;
    TZ410POWERDlg *m_powerPage = nullptr;
    TZ410CALDlg *m_calPage = nullptr;
    TZ410STATUSDlg *m_statusPage = nullptr;
    TZ410ALLDlg *m_allPage = nullptr;

    // The page of a tab, in tab order.
    TZ410Page *page(int tab) const;

  private:
    void writeTabSequence(int tab);
    void writeAllRegisters();
    bool writeStep(uint8_t address);
    void followUp(uint8_t address);
    bool sameChannelChosen() const;

    QTabBar *m_tabs = nullptr;
    QComboBox *m_pgaList = nullptr;
    QComboBox *m_rateList = nullptr;
    QPushButton *m_writeButton = nullptr;
    QPushButton *m_readButton = nullptr;
    QWidget *m_pageArea = nullptr;
};
