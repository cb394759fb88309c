// Draws the analysis window into PNGs to look at it: empty (/tmp/pellorin-analysis-empty.png)
// with a noisy sine of 65535 samples (/tmp/pellorin-analysis.png) and with noise alone
// (/tmp/pellorin-analysis-noise.png), or into the folder given.
#include "analysis/analysis_dlg.h"
#include "tests/analysis/synthetic_records.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp"));
    CAnalysisDlg dlg;
    dlg.resize(1280, 860);
    dlg.show();
    QApplication::processEvents();
    dlg.grab().save(dir.filePath(QStringLiteral("pellorin-analysis-empty.png")));
    analysis::ConversionScale scale{2.5, 1, 4, 1000};
    dlg.OnSamplesAcquired(testrec::Record(65535, 3000, 12, 2e6, 1234.5), scale);
    QApplication::processEvents();
    const QString path = dir.filePath(QStringLiteral("pellorin-analysis.png"));
    dlg.grab().save(path);
    std::printf("%s (%dx%d)\n", qPrintable(path), dlg.width(), dlg.height());
    // Noise alone, as a shorted input gives it: the histogram with its fitted Gaussian.
    dlg.OnSamplesAcquired(testrec::Record(65535, -1500, 9, 0, 0), scale);
    QApplication::processEvents();
    dlg.grab().save(dir.filePath(QStringLiteral("pellorin-analysis-noise.png")));
    return 0;
}
