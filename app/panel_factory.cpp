#include "panel_factory.h"

#include "evm_dialog.h"

namespace {
std::function<CEVMDialog *(int, QWidget *)> &testFactory() {
    static std::function<CEVMDialog *(int, QWidget *)> factory;
    return factory;
}
} // namespace

CEVMDialog *CreateChipPanel(int chipId, QWidget *parent) {
    if (testFactory())
        return testFactory()(chipId, parent);
    // The chip panels register here as they are built.
    return nullptr;
}

void SetChipPanelFactoryForTests(std::function<CEVMDialog *(int, QWidget *)> factory) {
    testFactory() = std::move(factory);
}
