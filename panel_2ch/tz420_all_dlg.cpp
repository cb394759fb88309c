#include "tz420_all_dlg.h"

#include "chips/vxc5420/register_map.h"

// The Read column takes typing, unfiltered: "Sync" copies whatever it holds.
TZ420ALLDlg::TZ420ALLDlg(QWidget *parent)
    : CRegisterTablePage(vxc5420::kRegisterNames, vxc5420::kRegisterCount, false, parent) {}
