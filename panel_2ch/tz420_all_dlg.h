#pragma once
// "All Regs" page of the VXC5420 panel: STA, MUX, CR0, CR1, CR2 and CR3 with their Write and
// Read columns.

#include "panel_common/register_table_page.h"

class TZ420ALLDlg : public CRegisterTablePage {
    Q_OBJECT
  public:
    explicit TZ420ALLDlg(QWidget *parent = nullptr);
};
