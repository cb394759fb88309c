// The long-run analysis of a capture file: generates an overnight HDF5 capture with the
// capture's own writer (83 million samples by default: 8 hours at the wire's pace, about
// 330 MB of codes), then times opening it, the pass that gives the overview and the drift, a
// redraw of the overview, the noise density, the Allan deviation and the histogram, and the
// capture analysis window's open-to-overview; each phase's peak memory against the size of
// the codes. A benchmark, not a test: it asserts nothing.
//
//   pellorin-bench-run-analysis [--samples N] [--file PATH] [--keep] [--no-window | --window-only]
// --file reads (or first writes, when missing) that file; --keep leaves the generated one.
// Each phase gives its wall time and the CPU time the process spent in it (on a shared
// machine the first depends on the others' load). For the window's memory alone, run it
// --window-only: memory the analyses before it freed may stay with the process.

#include "analysis/run_analysis.h"
#include "capture/capture_run.h"
#include "capture/capture_writer.h"
#include "capture/run_analysis_dlg.h"
#include "tests/support/chip_facts_at.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}
double g_cpuMark = 0;

// The process's peak resident memory since the last reset, in MiB (VmHWM).
double PeakMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// Starts a new peak from the memory in use now.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// White noise of 3 codes on a slow random walk and a drift, 2880 samples per second.
bool Generate(const QString &path, uint64_t samples) {
    capture::CaptureFacts facts;
    facts.chipName = QStringLiteral("VXC5480");
    facts.conversion = Vxc5480GainOneAt(2880); // 10 V / 2^24 a code
    facts.startTime = QStringLiteral("2026-06-01T22:00:00+02:00");
    auto writer = capture::MakeWriter(capture::FileFormat::Hdf5);
    if (!writer->create(path, facts, {}, true)) {
        std::printf("%s\n", qPrintable(writer->errorText()));
        return false;
    }
    std::mt19937 rng(1);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    // Blocks of a second, as the capture writes them at the wire's pace, each one piece.
    std::vector<int32_t> block(2880);
    std::vector<double> seconds(block.size());
    double walk = 0;
    for (uint64_t done = 0; done < samples;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(block.size(), samples - done));
        for (size_t i = 0; i < n; ++i) {
            walk += 0.002 * noise(rng);
            block[i] = static_cast<int32_t>(
                std::lround(120000 + 1e-4 * double(done + i) + walk + 3.0 * noise(rng)));
            seconds[i] = double(done + i + 1) / 2880.0;
        }
        const capture::BlockStamp stamp{done, 0, 0, uint32_t(n)};
        if (!writer->appendPiece(done, std::span(block).first(n), std::span(seconds).first(n),
                                 &stamp)) {
            std::printf("%s\n", qPrintable(writer->errorText()));
            return false;
        }
        done += n;
    }
    return writer->finish(QStringLiteral("user"));
}

void Line(const char *what, double seconds, double codesMiB) {
    const double peak = PeakMiB(), cpu = CpuSeconds();
    std::printf("  %-36s %7.2f s wall %7.2f s CPU   peak RSS %6.1f MiB (%5.1f %% of the codes)\n",
                what, seconds, cpu - g_cpuMark, peak, 100.0 * peak / codesMiB);
    std::fflush(stdout);
    ResetPeak();
    g_cpuMark = CpuSeconds();
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    uint64_t samples = 83'000'000;
    QString file;
    bool keep = false, window = true, core = true;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--samples" && i + 1 < argc)
            samples = std::stoull(argv[++i]);
        else if (a == "--file" && i + 1 < argc)
            file = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--keep")
            keep = true;
        else if (a == "--no-window")
            window = false;
        else if (a == "--window-only")
            core = false;
    }
    QTemporaryDir dir;
    dir.setAutoRemove(!keep);
    if (file.isEmpty())
        file = dir.filePath(QStringLiteral("overnight.h5"));
    if (!QFile::exists(file)) {
        std::printf("writing %llu samples to %s ...\n", static_cast<unsigned long long>(samples),
                    qPrintable(file));
        const auto start = Clock::now();
        if (!Generate(file, samples))
            return 1;
        std::printf("  written in %.1f s\n", Seconds(start));
    }

    ResetPeak();
    g_cpuMark = CpuSeconds();
    const double base = PeakMiB();
    auto start = Clock::now();
    std::unique_ptr<capture::CaptureRun> run =
        capture::OpenRun(capture::ScanCaptureSet({file}), false);
    if (!run)
        return 1;
    const double codesMiB = double(run->count()) * 4 / (1024.0 * 1024.0);
    std::printf("%llu samples, %.1f MiB of codes, %.0f SPS; memory before opening %.1f MiB\n",
                static_cast<unsigned long long>(run->count()), codesMiB, run->sampleRateHz(), base);
    Line("open (facts, blocks)", Seconds(start), codesMiB);

    const double rate = run->sampleRateHz();
    std::string error;
    if (!core)
        run.reset();
    for (; core; core = false) {
        analysis::MinMaxPyramid pyramid;
        start = Clock::now();
        const std::optional<analysis::RunSummary> summary =
            analysis::SummarizeRun(*run, rate, &pyramid, error);
        if (!summary)
            return std::printf("%s\n", error.c_str()), 1;
        Line("overview pyramid and drift (1 pass)", Seconds(start), codesMiB);

        start = Clock::now();
        size_t columns = 0;
        for (int i = 0; i < 100; ++i)
            columns += pyramid.columns(uint64_t(i) * 1000, run->count(), 1500).size();
        Line("100 overview redraws (1500 columns)", Seconds(start), codesMiB);

        const analysis::Baseline baseline = analysis::BaselineOf(*summary, false);
        start = Clock::now();
        const auto density = analysis::ComputeNoiseDensity(*run, rate, baseline, error);
        Line("noise density (Welch)", Seconds(start), codesMiB);
        start = Clock::now();
        const auto allan = analysis::ComputeAllanDeviation(*run, rate, baseline, error);
        Line("Allan deviation", Seconds(start), codesMiB);
        const analysis::Baseline line = analysis::BaselineOf(*summary, true);
        start = Clock::now();
        const auto detrended = analysis::ComputeAllanDeviation(*run, rate, line, error);
        Line("Allan deviation, drift removed", Seconds(start), codesMiB);
        start = Clock::now();
        const auto all = analysis::AnalyzeRun(*run, rate, *summary, false, error);
        Line("density + Allan + histogram", Seconds(start), codesMiB);
        if (density && allan)
            std::printf("  (segments %zu x %zu samples, white %.3g codes/rtHz, corner %s Hz; "
                        "%zu Allan points; %zu columns drawn)\n",
                        density->segments, density->segmentLength,
                        density->whiteLevel ? std::sqrt(*density->whiteLevel) : 0.0,
                        density->cornerHz ? std::to_string(*density->cornerHz).c_str() : "none",
                        allan->points.size(), columns / 100);
    }
    run.reset();

    if (window) {
        CRunAnalysisDlg dlg;
        dlg.resize(1500, 950);
        dlg.show();
        QApplication::processEvents();
        ResetPeak();
        g_cpuMark = CpuSeconds();
        start = Clock::now();
        dlg.OpenFiles({file});
        if (!QTest::qWaitFor([&] { return dlg.summary().has_value(); }, 600000))
            return 1;
        QApplication::processEvents();
        Line("window: open to overview drawn", Seconds(start), codesMiB);
        if (!QTest::qWaitFor([&] { return !dlg.busy(); }, 600000))
            return 1;
        QApplication::processEvents();
        Line("window: then every plot drawn", Seconds(start), codesMiB);
    }
    return 0;
}
