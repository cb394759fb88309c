#pragma once
// --detect-and-quit: a smoke test of an installed program, run without anyone at the screen.

#include <QString>

class CPellorinDlg;

// Shows the window, selects the named module (the first one when the name is empty), presses
// "Detect EVM" and closes the window. Returns 0 when a chip panel opened and no message was
// shown, 1 otherwise. Messages go to stderr instead of boxes, as nobody would answer them.
int RunDetectAndQuit(CPellorinDlg &dialog, const QString &moduleName);
