#pragma once
// "Status" page: chip ID and data order as the chip reports them; the analog input buffer
// (STATUS bit 1) is the one bit the user edits here.

#include "tz410_page.h"

class TZ410STATUSDlg : public TZ410Page {
    Q_OBJECT
  public:
    enum { kIdEdit = 1012, kMsbFirst = 1078, kLsbFirst = 1079, kBufferBox = 1101 };

    explicit TZ410STATUSDlg(QWidget *parent = nullptr);

    void OnBufferToggle();
    void ShowCurrent();
};
