#pragma once
// "MUX" page of the VXC5420 panel: AIN+ and AIN- each on AIN0 or AIN1, and the input buffer;
// edits the pending MUX and CR0 bytes.

#include "chips/vxc5420/register_map.h"

#include "panel_common/panel_page.h"

class TZ420MUXDlg : public CPanelPage {
    Q_OBJECT
  public:
    static constexpr int kAinPos0 = 1078; // AIN+ on AIN0; AIN1 is the next id
    static constexpr int kAinNeg0 = 1087; // AIN- on AIN0; the same row's AIN+ id + 9
    static constexpr int kBufferBox = 1134;
    static constexpr int kInputs = vxc5420::kInputCount;

    explicit TZ420MUXDlg(QWidget *parent = nullptr);

    void OnInitDialog();
    // Buttons and box from the current MUX and CR0; the pending bytes stay as they are.
    void ShowCurrent();
    void OnAinPos(int id);
    void OnAinNeg(int id);
    void OnBuffer();
    // AIN+ and AIN- on the same row: the host refuses to write that.
    bool sameInputChosen() const;

    int m_ainPosId = kAinPos0 + 1;
    int m_ainNegId = kAinNeg0;

  private:
    void check(int id);
};
