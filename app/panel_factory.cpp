#include "panel_factory.h"

#include "evm_dialog.h"
#include "panel_8ch/tz410_dlg.h"

namespace {
std::function<CEVMDialog *(int, QWidget *)> &testFactory() {
    static std::function<CEVMDialog *(int, QWidget *)> factory;
    return factory;
}
} // namespace

CEVMDialog *CreateChipPanel(int chipId, QWidget *parent) {
    if (testFactory())
        return testFactory()(chipId, parent);
    switch (chipId) {
    case 1:
        return new TZ410Dlg(parent);
    default:
        // The 2-channel chip's panel is not built yet: detection succeeds without a panel.
        return nullptr;
    }
}

void SetChipPanelFactoryForTests(std::function<CEVMDialog *(int, QWidget *)> factory) {
    testFactory() = std::move(factory);
}
