#pragma once
// "All Regs" page: every register as two hex digits, a Write column the user types into and
// a Read column of the chip's values.

#include "panel_common/register_table_page.h"

class TZ410ALLDlg : public CRegisterTablePage {
    Q_OBJECT
  public:
    explicit TZ410ALLDlg(QWidget *parent = nullptr);
};
