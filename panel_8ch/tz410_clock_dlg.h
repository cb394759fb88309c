#pragma once
// "Clocks" page: the clock-in text and the clock-out rate (ADCON bits 6:5).

#include "tz410_page.h"

class TZ410CLOCKDlg : public TZ410Page {
    Q_OBJECT
  public:
    explicit TZ410CLOCKDlg(QWidget *parent = nullptr);

    void OnInitDialog();
    void OnClockOutChange();
    // Also copies the chip's clock-out bits into the pending image.
    void ShowCurrent();

    int32_t m_clockIn = 0;
};
