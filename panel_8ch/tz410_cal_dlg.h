#pragma once
// "Cal" page: the chip's self calibration with its "Working" lamp, the four individual
// calibrations, and the 24-bit offset and gain registers set and read by hand.

#include "tz410_page.h"

#include <QColor>

#include <cstdint>

class TZ410ALLDlg;
class WorkingIndicator;

class TZ410CALDlg : public TZ410Page {
    Q_OBJECT
  public:
    enum {
        kOffsetEdit = 1012,
        kGainEdit = 1055,
        kCurrentOffsetEdit = 1056,
        kCurrentGainEdit = 1057,
        kIndicator = 1058,
        kSelfCalButton = 1049,
        kSelfOffsetButton = 1022,
        kSelfGainButton = 1050,
        kSystemOffsetButton = 1051,
        kSystemGainButton = 1052,
        kSetButton = 1053,
        kReadButton = 1054,
    };

    explicit TZ410CALDlg(QWidget *parent = nullptr);

    // The page whose Read column "Read" refreshes.
    void SetAllPage(TZ410ALLDlg *page) { m_allPage = page; }

    void OnInitDialog();
    void OnSelfCalibration();
    // Buttons 1022, 1050, 1051 and 1052.
    void OnIndividualCalibration(int buttonId);
    void OnSet();
    void OnReadCalibration();
    // Shows the offset and gain of the current image in 1056 and 1057.
    void ShowCalibrationValues();
    // Paints the lamp now, before the caller blocks.
    void DrawIndicator();

    QColor m_indicatorColor;

  private:
    TZ410ALLDlg *m_allPage = nullptr;
    WorkingIndicator *m_indicator = nullptr;
};
