#pragma once
// "GPIO" page: direction and output level of D3 to D0 (IO register), and the levels the chip
// reports. The level toggles keep the user's choice; the indicators show the chip.

#include "tz410_page.h"

class TZ410IODlg : public TZ410Page {
    Q_OBJECT
  public:
    // Per row (D3, D2, D1, D0): toggle, Output radio, Input radio, indicator.
    static constexpr int kToggleIds[4] = {1062, 1063, 1064, 1065};
    static constexpr int kOutputIds[4] = {1066, 1068, 1070, 1072};
    static constexpr int kInputIds[4] = {1067, 1069, 1071, 1073};
    static constexpr int kIndicatorIds[4] = {1074, 1075, 1076, 1077};

    explicit TZ410IODlg(QWidget *parent = nullptr);

    void OnLevelToggle(int row);
    void OnDirection(int row, bool input);
    void ShowCurrent();
};
