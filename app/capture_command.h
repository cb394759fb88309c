#pragma once
// The capture window's tie to the main window (CPellorinDlg's OnContinuousCapture,
// captureRunning, closeEvent and the end of a capture live in capture_command.cpp): the panel
// gives its facts, a detection or closing the window waits for a running capture to stop.
