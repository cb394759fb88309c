#pragma once
// The "&Analysis" menu beside the command menu, and the analysis window's tie to the main
// window: it is fed the samples of each successful acquisition and nothing else. The capture
// window's tie is in capture_command.cpp.

#include <functional>

#include "analysis/scale.h"

class CEVMDialog;
class QAction;
class QMenuBar;

// Adds "&Analysis" with "&Noise and Spectrum..." and "&Continuous Capture..." after the menus
// already on the bar; returns the capture's action, which is enabled while a panel exists.
QAction *AddAnalysisMenu(QMenuBar *bar, const std::function<void()> &openNoiseAndSpectrum,
                         const std::function<void()> &openContinuousCapture);

// The panel's scale in the analysis' terms (the capture records it too); zeros without a panel.
analysis::ConversionScale AnalysisScale(const CEVMDialog *panel);
