#pragma once
// TZ410Dlg: the register panel of the VXC5480. It owns the seven pages that show and edit the
// two register images of its base (the chip's values and the values to write), the gain and
// data-rate lists, and the Write and Read that move bytes between the images and the chip.

#include "chips/vxc5480/register_map.h"

#include "panel_common/register_panel.h"

class QComboBox;
class CPanelPage;
class TZ410MUXDlg;
class TZ410CLOCKDlg;
class TZ410IODlg;
class TZ410POWERDlg;
class TZ410CALDlg;
class TZ410STATUSDlg;
class TZ410ALLDlg;

class TZ410Dlg : public CRegisterPanel {
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

    void RefreshAllPages() override;
    conversion::ConversionFacts CurrentFacts(std::optional<double> referenceVolts) const override;
    const panel_common::MuxLayout *InputMux() const override { return &vxc5480::kMuxLayout; }
    void SelectPgaFromCurrent();
    void SelectRateFromCurrent();
    void PlacePages();

    void OnTabSelChange(int tab);
    void OnPgaChange();
    void OnRateChange();

    TZ410MUXDlg *m_muxPage = nullptr;
    TZ410CLOCKDlg *m_clockPage = nullptr;
    TZ410IODlg *m_ioPage = nullptr;
    TZ410POWERDlg *m_powerPage = nullptr;
    TZ410CALDlg *m_calPage = nullptr;
    TZ410STATUSDlg *m_statusPage = nullptr;
    TZ410ALLDlg *m_allPage = nullptr;

    // The page of a tab, in tab order.
    CPanelPage *page(int tab) const;

  protected:
    void InitPanel() override;
    void WriteFromTab(int tab) override;

  private:
    void writeTabSequence(int tab);
    void writeAllRegisters();
    void writeStep(uint8_t address);
    void followUp(uint8_t address);
    bool sameChannelChosen() const;

    QComboBox *m_pgaList = nullptr;
    QComboBox *m_rateList = nullptr;
};
