#pragma once
// The "EVM Module" list at start-up: on the chip the virtual board of --simulate carries, so
// the first "Detect EVM" finds it; else on the list's first entry, as always.

#include <QString>

class CPellorinDlg;

// Selects the module of that catalogue name; an empty or unknown name changes nothing.
void SelectStartModule(CPellorinDlg &dialog, const QString &moduleName);
