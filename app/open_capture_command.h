#pragma once
// The "Open Capture..." entry of the "&Analysis" menu; the capture analysis window's tie to the
// main window is in open_capture_command.cpp.

class QAction;
class QMenuBar;

#include <functional>

// Appends "Open Capture..." to the bar's "&Analysis" menu; returns its action, always enabled
// (a capture file needs no board).
QAction *AddOpenCaptureEntry(QMenuBar *bar, const std::function<void()> &openCapture);
