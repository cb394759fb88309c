#pragma once
// TZ420Dlg: the register panel of the VXC5420. On the two register images of its base it has
// the "Mode" list whose choice goes to the board, the gain and data-rate lists, the "MUX" and "All
// Regs" pages, and the Write and Read that move bytes between the images and the chip.

#include "chips/vxc5420/register_map.h"

#include "panel_common/register_panel.h"

class QComboBox;
class TZ420MUXDlg;
class TZ420ALLDlg;

class TZ420Dlg : public CRegisterPanel {
    Q_OBJECT
  public:
    static constexpr int kModeList = 1132;
    static constexpr int kPgaList = 1116;
    static constexpr int kRateList = 1117;
    static constexpr int kTabControl = 1102;
    static constexpr int kWriteButton = 1103;
    static constexpr int kReadButton = 1022;
    enum Tab { kTabMux, kTabAll, kTabCount };

    explicit TZ420Dlg(QWidget *parent = nullptr);
    ~TZ420Dlg() override;

    void RefreshAllPages() override;
    conversion::ConversionFacts CurrentFacts(std::optional<double> referenceVolts) const override;
    const panel_common::MuxLayout *InputMux() const override { return &vxc5420::kMuxLayout; }

    void SelectPgaFromCurrent();
    void SelectRateFromCurrent();

    void OnModeChange();
    void OnPgaChange();
    void OnRateChange();
    void OnTabSelChange(int tab);

    TZ420ALLDlg *m_allPage = nullptr;
    TZ420MUXDlg *m_muxPage = nullptr;

    // The mode chosen in the list and the one the board last confirmed, 1 to 4.
    int m_mode = vxc5420::kFirstMode;
    int m_appliedMode = vxc5420::kFirstMode;

  protected:
    void InitPanel() override;
    void WriteFromTab(int tab) override;

  private:
    void writeMuxTab();
    void writeAllTab();

    QComboBox *m_modeList = nullptr;
    QComboBox *m_pgaList = nullptr;
    QComboBox *m_rateList = nullptr;
};
