#include "tz410_all_dlg.h"

#include "chips/vxc5480/register_map.h"

// The Read column shows the chip; it takes no typing here.
TZ410ALLDlg::TZ410ALLDlg(QWidget *parent)
    : CRegisterTablePage(vxc5480::kRegisterLabels, vxc5480::kRegisterCount, true, parent) {}
