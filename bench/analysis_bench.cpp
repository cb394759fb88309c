// Time to analyse 65535 samples (figures, histogram with its fit, windowed FFT with the tone
// figures) and to redraw the three plots of the analysis window; peak memory.
// Run: QT_QPA_PLATFORM=offscreen pellorin-bench-analysis [repeats]

#include "analysis/analysis_dlg.h"
#include "analysis/analysis_plots.h"
#include "analysis/histogram.h"
#include "analysis/noise_figures.h"
#include "analysis/plot_view.h"
#include "analysis/spectrum.h"
#include "tests/support/chip_facts_at.h"

#include <QApplication>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

// Median of repeated runs, in milliseconds.
double MedianMs(int repeats, const std::function<void()> &run) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::vector<int32_t> NoisySine(size_t n) {
    std::mt19937 rng(42);
    std::normal_distribution<double> noise(0.0, 30.0);
    std::vector<int32_t> out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<int32_t>(std::lround(
            250000 + 2e6 * std::sin(2 * std::numbers::pi * 0.01234 * double(i)) + noise(rng)));
    return out;
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const std::vector<int32_t> samples = NoisySine(65535);

    analysis::NoiseFigures figures;
    analysis::Histogram histogram;
    analysis::Spectrum spectrum;
    const double figuresMs =
        MedianMs(repeats, [&] { figures = analysis::ComputeNoiseFigures(samples); });
    const double histogramMs =
        MedianMs(repeats, [&] { histogram = analysis::MakeHistogram(samples); });
    const double fftMs = MedianMs(repeats, [&] {
        spectrum = analysis::ComputeSpectrum(samples, analysis::WindowKind::Hann, 1000.0);
    });
    // Alternating lengths makes every call build its FFT plan and window anew.
    const std::vector<int32_t> other = NoisySine(64000);
    bool flip = false;
    const double coldMs = MedianMs(repeats, [&] {
        flip = !flip;
        analysis::ComputeSpectrum(flip ? other : samples, analysis::WindowKind::Hann, 1000.0);
    });
    const double bhMs = MedianMs(repeats, [&] {
        analysis::ComputeSpectrum(samples, analysis::WindowKind::BlackmanHarris4, 1000.0);
    });

    CAnalysisDlg dlg;
    dlg.resize(1280, 860);
    dlg.show();
    QApplication::processEvents();
    PlotView *plots[] = {dlg.recordPlot(), dlg.histogramPlot(), dlg.spectrumPlot()};
    const double fillMs = MedianMs(repeats, [&] {
        DrawRecord(plots[0], samples);
        DrawHistogram(plots[1], histogram);
        DrawSpectrum(plots[2], spectrum);
    });
    const double redrawMs = MedianMs(repeats, [&] {
        DrawRecord(plots[0], samples);
        DrawHistogram(plots[1], histogram);
        DrawSpectrum(plots[2], spectrum);
        for (PlotView *plot : plots)
            plot->grab(); // paints the plot as the screen would
    });

    const conversion::ConversionFacts scale = Vxc5480GainOneAt(1000);
    const double wholeMs = MedianMs(repeats, [&] {
        dlg.OnSamplesAcquired(samples, scale);
        for (PlotView *plot : plots)
            plot->grab();
    });

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("65535 samples, median of %d runs\n", repeats);
    std::printf("  figures                 %7.2f ms\n", figuresMs);
    std::printf("  histogram + fit         %7.2f ms\n", histogramMs);
    std::printf("  spectrum (Hann)         %7.2f ms  (FFT %zu points)\n", fftMs,
                spectrum.fftLength);
    std::printf("  spectrum (BH4)          %7.2f ms\n", bhMs);
    std::printf("  spectrum, new length    %7.2f ms  (plan and window made anew)\n", coldMs);
    std::printf("  analysis total          %7.2f ms  (target < 20)\n",
                figuresMs + histogramMs + fftMs);
    std::printf("  plots: fill series      %7.2f ms\n", fillMs);
    std::printf("  plots: fill and paint   %7.2f ms  (target < 50)\n", redrawMs);
    std::printf("  new record in window    %7.2f ms  (analysis, figures, plots painted)\n",
                wholeMs);
    std::printf("  peak memory (max RSS)   %7.1f MiB\n", usage.ru_maxrss / 1024.0);
    std::printf("  figures check: sigma %.2f codes, tone %s\n", figures.stdDev,
                spectrum.tone ? "found" : "none");
    return 0;
}
