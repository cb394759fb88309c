#pragma once
// "MUX" page: AIN+ and AIN- among AIN0 to AIN7 and AINCOM; edits the MUX register.

#include "chips/vxc5480/register_map.h"
#include "tz410_page.h"

class TZ410MUXDlg : public TZ410Page {
    Q_OBJECT
  public:
    static constexpr int kFirstPosId = 1078; // AIN0 in the AIN+ column
    static constexpr int kFirstNegId = 1087; // AIN0 in the AIN- column; same row = id + 9
    static constexpr int kInputs = vxc5480::kInputCount;

    explicit TZ410MUXDlg(QWidget *parent = nullptr);

    void OnInitDialog();
    void OnAinPos(int id);
    void OnAinNeg(int id);
    void ShowCurrent();
    // AIN+ and AIN- on the same row: the host refuses to write that.
    bool sameInputChosen() const;

    int m_ainPosId = kFirstPosId;
    int m_ainNegId = kFirstNegId + 1;

  private:
    void check(int id);
};
