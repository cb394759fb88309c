#pragma once
// "Power & Ref" page: the reference text, the sensor-detect current (ADCON bits 4:3) and the
// Power Down, Standby and Wakeup commands.

#include "tz410_page.h"

#include <cstdint>

class TZ410POWERDlg : public TZ410Page {
    Q_OBJECT
  public:
    enum { kPowerDownButton = 1099, kStandbyButton = 1022, kWakeupButton = 1100 };

    explicit TZ410POWERDlg(QWidget *parent = nullptr);

    void OnInitDialog();
    void OnSensorCurrentChange();
    void ShowCurrent();
    void OnPowerDown();
    void OnStandby();
    void OnWakeup();

  private:
    bool sendPowerCommand(uint8_t code);
};
