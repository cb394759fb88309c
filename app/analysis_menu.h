#pragma once
// The "&Analysis" menu beside the command menu, and the analysis window's tie to the main
// window: it is fed the samples of each successful acquisition and nothing else.

#include <functional>

class QMenuBar;

// Adds "&Analysis" with "Noise and Spectrum..." after the menus already on the bar.
void AddAnalysisMenu(QMenuBar *bar, const std::function<void()> &openNoiseAndSpectrum);
