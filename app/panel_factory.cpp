#include "panel_factory.h"

#include "link/chip_catalog.h"
#include "panel_2ch/tz420_dlg.h"
#include "panel_8ch/tz410_dlg.h"
#include "panel_common/evm_dialog.h"

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
    case chip_id::kVxc5480:
        return new TZ410Dlg(parent);
    case chip_id::kVxc5420:
        return new TZ420Dlg(parent);
    default:
        return nullptr;
    }
}

void SetChipPanelFactoryForTests(std::function<CEVMDialog *(int, QWidget *)> factory) {
    testFactory() = std::move(factory);
}
