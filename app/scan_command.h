#pragma once
// The "Input Scan..." entry of the "&Analysis" menu; the window's tie to the main window is in
// scan_command.cpp.

class QAction;
class QMenuBar;

#include <functional>

// Appends "&Input Scan..." to the bar's "&Analysis" menu, disabled; returns its action, which
// is enabled while a chip panel exists.
QAction *AddInputScanEntry(QMenuBar *bar, const std::function<void()> &openInputScan);
