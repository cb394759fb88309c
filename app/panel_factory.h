#pragma once

#include <functional>

class CEVMDialog;
class QWidget;

// The register panel of a chip, created as a child of parent but not yet initialised; null for
// a chip id that has no panel.
CEVMDialog *CreateChipPanel(int chipId, QWidget *parent);

// Tests: while set, CreateChipPanel asks this function instead.
void SetChipPanelFactoryForTests(std::function<CEVMDialog *(int chipId, QWidget *parent)> factory);
