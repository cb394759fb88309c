// Draws the capture analysis window into PNGs to look at it: a two-hour run of white noise on
// a drift and a slow random walk (/tmp/pellorin-run-analysis.png), the same with the drift
// removed (/tmp/pellorin-run-analysis-detrended.png), and a split set with a missing part
// (/tmp/pellorin-run-analysis-gap.png) and a run at 30000 SPS
// (/tmp/pellorin-run-analysis-fast.png) and a CSV with neither rate nor times
// (/tmp/pellorin-run-analysis-untimed.png), or into the folder given.

#include "capture/run_analysis_dlg.h"
#include "synthetic_capture.h"

#include "platform/question.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <random>

namespace {
void Settle(CRunAnalysisDlg &dlg) {
    if (!QTest::qWaitFor([&] { return !dlg.busy(); }, 120000))
        std::printf("still computing after two minutes\n");
    // The layout settles over a few rounds of events (a field's width, its box, the window).
    QTest::qWait(100);
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp"));
    QTemporaryDir dir;
    SyntheticCapture run;
    run.samples = 2 * 3600 * 100;
    run.rate = 100;
    run.sigma = 12;
    run.walk = 0.05;
    run.driftPerSecond = 0.02;
    const QString path = dir.filePath(QStringLiteral("night.h5"));
    if (!WriteSyntheticCapture(path, capture::FileFormat::Hdf5, run))
        return 1;
    CRunAnalysisDlg dlg;
    dlg.resize(1500, 950);
    dlg.show();
    dlg.OpenFiles({path});
    Settle(dlg);
    dlg.grab().save(out.filePath(QStringLiteral("pellorin-run-analysis.png")));
    dlg.removeDriftBox()->setChecked(true);
    Settle(dlg);
    dlg.grab().save(out.filePath(QStringLiteral("pellorin-run-analysis-detrended.png")));

    SyntheticCapture part;
    part.samples = 30000;
    part.stoppedBy = QStringLiteral("split");
    WriteSyntheticCapture(dir.filePath(QStringLiteral("set_0001.h5")), capture::FileFormat::Hdf5,
                          part);
    part.number = 3;
    part.firstSample = 60000;
    part.stoppedBy = QStringLiteral("user");
    WriteSyntheticCapture(dir.filePath(QStringLiteral("set_0003.h5")), capture::FileFormat::Hdf5,
                          part);
    platform::SetQuestionAnswer([](const QString &) { return true; });
    dlg.removeDriftBox()->setChecked(false);
    dlg.OpenFiles({dir.filePath(QStringLiteral("set_0001.h5"))});
    Settle(dlg);
    dlg.grab().save(out.filePath(QStringLiteral("pellorin-run-analysis-gap.png")));

    // At a fast chip's rate: ticks over many decades of tau and frequency.
    SyntheticCapture fast;
    fast.samples = 3000000;
    fast.rate = 30000;
    fast.sigma = 12;
    fast.walk = 0.02;
    fast.driftPerSecond = 1;
    fast.block = 65536;
    const QString fastPath = dir.filePath(QStringLiteral("fast.h5"));
    if (!WriteSyntheticCapture(fastPath, capture::FileFormat::Hdf5, fast))
        return 1;
    dlg.OpenFiles({fastPath});
    Settle(dlg);
    dlg.grab().save(out.filePath(QStringLiteral("pellorin-run-analysis-fast.png")));

    // Neither a rate nor times: every axis, readout and figure per sample.
    const QString untimed = dir.filePath(QStringLiteral("untimed.csv"));
    QFile csv(untimed);
    if (!csv.open(QIODevice::WriteOnly))
        return 1;
    csv.write("# chip: VXC5480\n# stopped_by: user\nindex,code\n");
    std::mt19937 rng(9);
    std::normal_distribution<double> noise(0.0, 20.0);
    double walk = 0;
    for (int i = 0; i < 200000; ++i) {
        walk += 0.05 * noise(rng);
        csv.write(QByteArray::number(i) + ',' + QByteArray::number(std::lround(walk + noise(rng))) +
                  '\n');
    }
    csv.close();
    dlg.OpenFiles({untimed});
    Settle(dlg);
    dlg.grab().save(out.filePath(QStringLiteral("pellorin-run-analysis-untimed.png")));
    std::printf("%s\n", qPrintable(out.filePath(QStringLiteral("pellorin-run-analysis*.png"))));
    return 0;
}
