#include "start_module.h"

#include "pellorin_dlg.h"
#include "resources/main_window_ids.h"

#include <QComboBox>

void SelectStartModule(CPellorinDlg &dialog, const QString &moduleName) {
    if (moduleName.isEmpty())
        return;
    auto *modules = dialog.controlAs<QComboBox>(mainwindow::kModuleList);
    const int index = modules->findText(moduleName);
    if (index >= 0)
        modules->setCurrentIndex(index);
}
