#pragma once
// The "&Analysis" menu beside the command menu, and the analysis window's tie to the main
// window: it is fed the samples of each successful acquisition and nothing else. The capture
// window's tie is in capture_command.cpp.

#include "conversion/conversion_facts.h"

#include <functional>

class CEVMDialog;
class QAction;
class QMenu;
class QMenuBar;

// Adds "&Analysis" with "&Noise and Spectrum..." and "&Continuous Capture..." after the menus
// already on the bar; returns the capture's action, which is enabled while a panel exists.
QAction *AddAnalysisMenu(QMenuBar *bar, const std::function<void()> &openNoiseAndSpectrum,
                         const std::function<void()> &openContinuousCapture);

// The bar's "&Analysis" menu, added after the menus already on the bar when it is not there.
QMenu *AnalysisMenuOf(QMenuBar *bar);

// What the panel's chip core makes of its registers at the chip's default reference (each
// window applies its own); zeros without a panel.
conversion::ConversionFacts PanelFacts(const CEVMDialog *panel);
