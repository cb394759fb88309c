// Draws the analysis window into PNGs to look at it: empty (/tmp/pellorin-analysis-empty.png)
// with a noisy sine of 65535 samples (/tmp/pellorin-analysis.png), with noise alone
// (/tmp/pellorin-analysis-noise.png), with a sine clipped at the top of the codes
// (/tmp/pellorin-analysis-clipped.png), with every sample at the top code
// (/tmp/pellorin-analysis-pinned.png) and with 50 Hz hum a few bins above DC
// (/tmp/pellorin-analysis-low-tone.png), or into the folder given.
#include "analysis/analysis_dlg.h"
#include "synthetic_records.h"
#include "tests/support/chip_facts_at.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <algorithm>
#include <cstdio>

namespace {} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp"));
    CAnalysisDlg dlg;
    dlg.resize(1280, 860);
    dlg.show();
    QApplication::processEvents();
    dlg.grab().save(dir.filePath(QStringLiteral("pellorin-analysis-empty.png")));
    const conversion::ConversionFacts scale = Vxc5480GainOneAt(1000);
    dlg.OnSamplesAcquired(testrec::Record(65535, 3000, 12, 2e6, 1234.5), scale);
    QApplication::processEvents();
    const QString path = dir.filePath(QStringLiteral("pellorin-analysis.png"));
    dlg.grab().save(path);
    std::printf("%s (%dx%d)\n", qPrintable(path), dlg.width(), dlg.height());
    // Noise alone, as a shorted input gives it: the histogram with its fitted Gaussian.
    dlg.OnSamplesAcquired(testrec::Record(65535, -1500, 9, 0, 0), scale);
    QApplication::processEvents();
    dlg.grab().save(dir.filePath(QStringLiteral("pellorin-analysis-noise.png")));
    // A sine driven past the top of the codes.
    std::vector<int32_t> clipped = testrec::Record(4096, 2e6, 40, 7e6, 20.3);
    for (int32_t &code : clipped)
        code = std::min(code, 8388607);
    dlg.OnSamplesAcquired(clipped, scale);
    QApplication::processEvents();
    dlg.grab().save(dir.filePath(QStringLiteral("pellorin-analysis-clipped.png")));
    dlg.OnSamplesAcquired(std::vector<int32_t>(50, 8388607), scale);
    QApplication::processEvents();
    dlg.grab().save(dir.filePath(QStringLiteral("pellorin-analysis-pinned.png")));
    // 50 Hz at 30000 SPS in 4096 samples: 6.8 bins above DC, on an offset.
    const conversion::ConversionFacts fast = Vxc5480GainOneAt(30000);
    dlg.OnSamplesAcquired(testrec::Record(4096, 150000, 300, 1.6e6, 50.0 * 4096 / 30000), fast);
    QApplication::processEvents();
    dlg.grab().save(dir.filePath(QStringLiteral("pellorin-analysis-low-tone.png")));
    return 0;
}
