// The capture analysis window on files written by the capture's own writers: a run opened,
// zoomed down to its samples, its drift removed, its plots exported; a split set with a
// missing part; a file that is no capture; and the accessibility walk.

#include "capture/report_rows_view.h"
#include "capture/run_analysis_dlg.h"
#include "synthetic_capture.h"

#include "analysis/log_plot_view.h"
#include "analysis/plot_view.h"
#include "platform/file_dialogs.h"
#include "platform/message_service.h"
#include "platform/question.h"
#include "tests/support/accessibility_walk.h"

#include <QChart>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A generous bound on a computation that takes well under a second here.
constexpr int kComputeMs = 60000;

class RunAnalysisWindow : public ::testing::Test {
  protected:
    void TearDown() override {
        platform::SetFileDialogAnswer({});
        platform::SetQuestionAnswer({});
    }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QString fact(const QString &caption) const {
        QLineEdit *field = dlg.facts()->value(caption);
        return field ? field->text() : QString();
    }
    QString figure(const QString &caption) const {
        QLineEdit *field = dlg.figures()->value(caption);
        return field ? field->text() : QString();
    }
    bool openAndWait(const QStringList &paths) {
        dlg.OpenFiles(paths);
        return QTest::qWaitFor([this] { return !dlg.busy(); }, kComputeMs);
    }

    platform::MessageRecorder messages;
    QTemporaryDir m_dir;
    CRunAnalysisDlg dlg;
};

} // namespace

TEST_F(RunAnalysisWindow, ShowsTheWholeRunAndZoomsDownToItsSamples) {
    const QString path = file("night.h5");
    ASSERT_TRUE(WriteSyntheticCapture(path, capture::FileFormat::Hdf5, {}));
    dlg.show();
    ASSERT_TRUE(openAndWait({path}));
    ASSERT_TRUE(dlg.analysis());
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(fact("Chip"), QStringLiteral("VXC5480"));
    EXPECT_EQ(fact("Samples"), QStringLiteral("100000"));
    EXPECT_EQ(fact("Stopped by"), QStringLiteral("user"));
    // 2 codes per second of 10 V / 2^24 each: 4.29 mV per hour.
    EXPECT_TRUE(figure("Drift").startsWith(QStringLiteral("4.29")) &&
                figure("Drift").contains(QStringLiteral(" mV/h (+7200 ± ")))
        << figure("Drift").toStdString();
    EXPECT_FALSE(figure("White noise density").isEmpty());
    EXPECT_TRUE(dlg.stateLabel()->accessibleName().contains(QStringLiteral("100000 samples")))
        << dlg.stateLabel()->accessibleName().toStdString();

    // The whole run: two points a column from the pyramid.
    const qsizetype overview = dlg.overviewPlot()->trace()->count();
    EXPECT_GT(overview, 200);
    EXPECT_LE(overview, 2 * 4 * dlg.overviewPlot()->width());
    // A quarter second: every one of its 50 samples, at its own time.
    dlg.overviewPlot()->axisX()->setRange(100.0, 100.25);
    const QList<QPointF> samples = dlg.overviewPlot()->trace()->points();
    ASSERT_GE(samples.size(), 50);
    EXPECT_LE(samples.size(), 53);
    EXPECT_NEAR(samples.front().x(), 100.0, 0.01);
    EXPECT_NEAR(samples.front().y(), 1200, 6 * 25);

    EXPECT_FALSE(dlg.densityPlot()->chart()->series().isEmpty());
    EXPECT_FALSE(dlg.allanPlot()->chart()->series().isEmpty());

    // The log plots zoom in decades about the value under the pointer, which keeps its place,
    // and neither zoom nor pan leaves the data's decades.
    LogPlotView *density = dlg.densityPlot();
    const double x0 = density->axisX()->min(), x1 = density->axisX()->max();
    const double y0 = density->axisY()->min(), y1 = density->axisY()->max();
    auto place = [](double v, double lo, double hi) {
        return std::log10(v / lo) / std::log10(hi / lo);
    };
    const QPointF at(x0 * std::pow(x1 / x0, 0.3), y0 * std::pow(y1 / y0, 0.6));
    density->zoomAround(at, 4);
    EXPECT_GT(density->axisX()->min(), x0);
    EXPECT_LT(density->axisX()->max(), x1);
    EXPECT_NEAR(place(at.x(), density->axisX()->min(), density->axisX()->max()), 0.3, 1e-9);
    EXPECT_NEAR(place(at.y(), density->axisY()->min(), density->axisY()->max()), 0.6, 1e-9);
    density->panByDecades(-100, 0);
    EXPECT_NEAR(density->axisX()->min(), x0, x0 * 1e-9);
    density->zoomAround(at, 0.01);
    EXPECT_NEAR(density->axisX()->min(), x0, x0 * 1e-9);
    EXPECT_NEAR(density->axisX()->max(), x1, x1 * 1e-9);
    EXPECT_NEAR(density->axisY()->max(), y1, y1 * 1e-9);
    EXPECT_FALSE(dlg.histogramPlot()->trace()->points().isEmpty());

    // Remove drift: every figure and plot is computed again without the line.
    const double rawRms = dlg.analysis()->stdDevCodes;
    dlg.removeDriftBox()->setChecked(true);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dlg.busy(); }, kComputeMs));
    ASSERT_TRUE(dlg.analysis());
    EXPECT_TRUE(dlg.analysis()->detrended);
    EXPECT_LT(dlg.analysis()->stdDevCodes, rawRms / 3);
    EXPECT_NEAR(dlg.analysis()->stdDevCodes, 25, 1);
    EXPECT_FALSE(figure("RMS noise about the drift line").isEmpty());

    // Each plot's numbers, through the whole-file writer.
    const QString exported = file("night_allan.csv");
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &request) {
        EXPECT_EQ(request.proposedPath, exported);
        return exported;
    });
    QTest::mouseClick(dlg.exportButton(CRunAnalysisDlg::Export::Allan), Qt::LeftButton);
    QFile csv(exported);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readLine().startsWith("tau_s,m,terms,edf,adev_codes"));
    for (CRunAnalysisDlg::Export what :
         {CRunAnalysisDlg::Export::Overview, CRunAnalysisDlg::Export::Density,
          CRunAnalysisDlg::Export::Histogram})
        EXPECT_TRUE(dlg.ExportTo(what, file("out.csv")));
}

TEST_F(RunAnalysisWindow, MissingPartOpensOnlyWhenTheUserAcceptsTheGap) {
    SyntheticCapture part;
    part.samples = 20000;
    part.stoppedBy = QStringLiteral("split");
    ASSERT_TRUE(WriteSyntheticCapture(file("run_0001.h5"), capture::FileFormat::Hdf5, part));
    part.number = 3;
    part.firstSample = 40000;
    part.stoppedBy = QStringLiteral("user");
    ASSERT_TRUE(WriteSyntheticCapture(file("run_0003.h5"), capture::FileFormat::Hdf5, part));

    QStringList asked;
    platform::SetQuestionAnswer([&](const QString &text) {
        asked << text;
        return false;
    });
    dlg.show();
    ASSERT_TRUE(openAndWait({file("run_0003.h5")}));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].startsWith(file("run_0002.h5") + ": missing from the split set"));
    EXPECT_FALSE(dlg.hasRun());

    platform::SetQuestionAnswer([](const QString &) { return true; });
    ASSERT_TRUE(openAndWait({file("run_0001.h5")}));
    ASSERT_TRUE(dlg.analysis());
    EXPECT_EQ(dlg.run()->count(), 40000u);
    EXPECT_TRUE(fact("Samples").contains(QStringLiteral("samples 20000 to 39999 missing")));
    // The gap is framed on the run plot (the frame and the second piece are series of their
    // own: no trace is drawn across the gap), the drift line drawn over the whole run, and the
    // gap said above the others.
    EXPECT_EQ(dlg.overviewPlot()->chart()->series().size(), 4);
    EXPECT_TRUE(dlg.densityPlot()->chart()->title().contains(QStringLiteral("gaps left out")));
}

TEST_F(RunAnalysisWindow, TellsWhatIsWrongWithAFile) {
    QFile text(file("notes.csv"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("# chip: VXC5480\nindex,time_s,code,volts\n0,0,5,0\n1,0.1,five,0\n2,0.2,5,0\n");
    text.close();
    dlg.show();
    ASSERT_TRUE(openAndWait({file("notes.csv")}));
    // One box: what failed, and the file with its cause beneath.
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, QStringLiteral("The capture cannot be opened."));
    EXPECT_EQ(messages.messages()[0].detail,
              file("notes.csv") + ": line 4 is broken: the code is not a whole number");
    EXPECT_FALSE(dlg.hasRun());
    EXPECT_FALSE(dlg.exportButton(CRunAnalysisDlg::Export::Density)->isEnabled());
}

TEST_F(RunAnalysisWindow, ScreenReaderReachesEveryControlAndValue) {
    const QString path = file("short.csv");
    SyntheticCapture run;
    run.samples = 5000;
    ASSERT_TRUE(WriteSyntheticCapture(path, capture::FileFormat::Csv, run));
    dlg.show();
    const AccessibilityReport empty = WalkAccessibility(&dlg);
    EXPECT_TRUE(empty.violations.isEmpty()) << empty.describe();
    ASSERT_TRUE(openAndWait({path}));
    ASSERT_TRUE(dlg.analysis());
    const AccessibilityReport report = WalkAccessibility(&dlg);
    EXPECT_TRUE(report.violations.isEmpty()) << report.describe();
    EXPECT_GT(report.checked, 20);
}
