#include "tz410_all_dlg.h"

#include "register_map.h"

namespace {
const char *const kRowLabels[vxc5480::kRegisterCount] = {
    "Status", "MUX", "ADCON", "DRATE", "IO", "OFC0", "OFC1", "OFC2", "FSC0", "FSC1", "FSC2"};
}

// The Read column shows the chip; it takes no typing here.
TZ410ALLDlg::TZ410ALLDlg(QWidget *parent)
    : CRegisterTablePage(kRowLabels, vxc5480::kRegisterCount, true, parent) {}
