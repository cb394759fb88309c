// The analysis window on its own: its empty state, a record handed to it, the fields that
// scale it, and "Export...".

#include "analysis/analysis_dlg.h"
#include "analysis/analysis_figures_view.h"
#include "analysis/plot_view.h"
#include "analysis/reference_edit.h"
#include "platform/file_dialogs.h"
#include "platform/message_service.h"
#include "synthetic_records.h"
#include "tests/support/accessibility_walk.h"
#include "tests/support/chip_facts_at.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace {
class AnalysisDlgTest : public ::testing::Test {
  protected:
    void TearDown() override { platform::SetFileDialogAnswer({}); }
    QString figure(const QString &row, const QString &unit = QString()) const {
        QLineEdit *field = dlg.figures()->value(row, unit);
        EXPECT_NE(field, nullptr) << row.toStdString() << " " << unit.toStdString();
        return field ? field->text() : QString();
    }
    void feed(const std::vector<int32_t> &samples, double rate = 1000) {
        dlg.OnSamplesAcquired(samples, Vxc5480GainOneAt(rate));
    }
    // The window at a working size, showing a tone at 101.3 Hz sampled at 2000 SPS: a
    // spectrum from 0 to 1000 Hz.
    PlotView *showToneSpectrum() {
        dlg.resize(1280, 860);
        dlg.show();
        feed(testrec::Record(4096, 0, 20, 1e6, 101.3), 2000);
        QApplication::processEvents();
        return dlg.spectrumPlot();
    }

    platform::MessageRecorder messages;
    CAnalysisDlg dlg;
};
} // namespace

TEST_F(AnalysisDlgTest, SaysThereAreNoSamplesBeforeAnyAcquisition) {
    dlg.show();
    EXPECT_FALSE(dlg.isModal());
    EXPECT_FALSE(dlg.hasSamples());
    EXPECT_TRUE(dlg.stateLabel()->text().startsWith(QStringLiteral("No samples yet")));
    EXPECT_TRUE(figure(QStringLiteral("Count"), QStringLiteral("codes")).isEmpty());
    EXPECT_TRUE(dlg.recordPlot()->trace()->points().isEmpty());
    // Nothing to export: the user is told so and no file dialog opens.
    bool asked = false;
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &) {
        asked = true;
        return QString();
    });
    QTest::mouseClick(dlg.exportButton(), Qt::LeftButton);
    EXPECT_FALSE(asked);
    ASSERT_EQ(messages.messages().size(), 1u);
}

TEST_F(AnalysisDlgTest, ShowsFiguresInCodesAndVolts) {
    feed({2, 4, 4, 4, 5, 5, 7, 9});
    EXPECT_TRUE(dlg.hasSamples());
    EXPECT_EQ(dlg.fullScaleEdit()->text(), QStringLiteral("10"));
    EXPECT_EQ(dlg.sampleRateEdit()->text(), QStringLiteral("1000"));
    EXPECT_EQ(figure(QStringLiteral("Count"), QStringLiteral("codes")), QStringLiteral("8"));
    EXPECT_EQ(figure(QStringLiteral("Std dev (RMS noise)"), QStringLiteral("codes")),
              QStringLiteral("2.000"));
    // One code of a 10 V range is 10 / 2^24 V = 0.596 uV.
    EXPECT_EQ(figure(QStringLiteral("Std dev (RMS noise)"), QStringLiteral("volts")),
              QStringLiteral("1.19 \u00B5V"));
    EXPECT_EQ(figure(QStringLiteral("Mean"), QStringLiteral("volts")),
              QStringLiteral("2.98 \u00B5V"));
    EXPECT_EQ(figure(QStringLiteral("Peak-to-peak"), QStringLiteral("codes")), QStringLiteral("7"));
    EXPECT_EQ(figure(QStringLiteral("Effective resolution (bits)")), QStringLiteral("23.00"));
    EXPECT_EQ(figure(QStringLiteral("Skewness")), QStringLiteral("0.656"));

    // A gain of 4 narrows the range, and the volts go to the unit that shows three digits.
    dlg.gainEdit()->setText(QStringLiteral("4"));
    emit dlg.gainEdit()->editingFinished();
    EXPECT_EQ(dlg.fullScaleEdit()->text(), QStringLiteral("2.5"));
    EXPECT_EQ(figure(QStringLiteral("Std dev (RMS noise)"), QStringLiteral("volts")),
              QStringLiteral("298 nV"));

    // A reference of the user's, within the chip's bounds, halves it again; one beyond them
    // is refused with the bounds, and the next record keeps the user's.
    dlg.referenceEdit()->setText(QStringLiteral("1.25"));
    emit dlg.referenceEdit()->editingFinished();
    EXPECT_EQ(dlg.fullScaleEdit()->text(), QStringLiteral("1.25"));
    dlg.referenceEdit()->setText(QStringLiteral("9"));
    emit dlg.referenceEdit()->editingFinished();
    EXPECT_EQ(dlg.referenceEdit()->text(), QStringLiteral("1.25"));
    EXPECT_TRUE(dlg.stateLabel()->text().contains(QStringLiteral("from 0.5 V to 2.6 V")));
    feed({2, 4, 4, 4, 5, 5, 7, 9});
    EXPECT_EQ(dlg.fullScaleEdit()->text(), QStringLiteral("5"));
}

// Read-only fields, as the main window's Minimum, Maximum and Average: a screen reader reads
// each one's name and its value.
TEST_F(AnalysisDlgTest, FiguresAreReadOnlyFieldsWithNameAndValue) {
    feed({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    int values = 0;
    for (QLineEdit *field : dlg.figures()->findChildren<QLineEdit *>()) {
        ++values;
        EXPECT_TRUE(field->isReadOnly());
        EXPECT_NE(field->accessibleName(), QStringLiteral("Chart"));
    }
    EXPECT_EQ(values, 1 + 6 * 2 + 5 + 7); // the count has no volts
    QAccessibleInterface *bits = QAccessible::queryAccessibleInterface(
        dlg.figures()->value(QStringLiteral("Effective resolution (bits)")));
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits->text(QAccessible::Name), QStringLiteral("Effective resolution (bits)"));
    EXPECT_EQ(bits->text(QAccessible::Value), QStringLiteral("22.48"));
    for (PlotView *plot : {dlg.recordPlot(), dlg.histogramPlot(), dlg.spectrumPlot()}) {
        EXPECT_FALSE(plot->accessibleName().isEmpty());
        EXPECT_NE(plot->accessibleName(), QStringLiteral("Chart"));
    }
}

TEST_F(AnalysisDlgTest, MeasuresAToneAndRedrawsForTheOtherWindow) {
    feed(testrec::Record(4096, 0, 20, 1e6, 101.3), 2000);
    EXPECT_TRUE(dlg.spectrum().tone.has_value());
    EXPECT_FALSE(figure(QStringLiteral("SNR (dB)")).isEmpty());
    EXPECT_NEAR(figure(QStringLiteral("Tone frequency (Hz)")).toDouble(), 101.3 * 2000 / 4096, 0.5);
    EXPECT_FALSE(dlg.spectrumPlot()->trace()->points().isEmpty());
    dlg.windowList()->setCurrentIndex(1);
    EXPECT_TRUE(dlg.spectrum().tone.has_value());
    EXPECT_TRUE(dlg.stateLabel()->text().contains(QStringLiteral("4096-point FFT")));
}

// A tone is in the record's standard deviation and resolutions: the note says so, and the
// noise without it stands in a row of its own; without a tone that row stays empty.
TEST_F(AnalysisDlgTest, WithAToneTheNoiseWithoutItStandsApart) {
    const QString apart = QStringLiteral("RMS noise without the tone");
    feed(testrec::Record(4096, 0, 20, 1e6, 101.3), 2000);
    ASSERT_TRUE(dlg.spectrum().tone.has_value());
    EXPECT_NEAR(figure(QStringLiteral("Std dev (RMS noise)"), QStringLiteral("codes")).toDouble(),
                1e6 / std::sqrt(2.0), 1e3);
    EXPECT_NEAR(figure(apart, QStringLiteral("codes")).toDouble(), 20, 2);
    EXPECT_TRUE(figure(apart, QStringLiteral("volts")).endsWith(QStringLiteral(" \u00B5V")));
    EXPECT_TRUE(dlg.figures()->toneNote()->text().contains(QStringLiteral("include the tone")));
    feed(testrec::Record(4096, 0, 20, 0, 0), 2000);
    EXPECT_FALSE(dlg.spectrum().tone.has_value());
    EXPECT_TRUE(figure(apart, QStringLiteral("codes")).isEmpty());
}

// Every axis of every plot ticks at round values (1, 2 or 5 times a power of ten, from a
// whole multiple of the step) and no more of them than the axis has room for, whatever the
// data: 24-bit codes far from zero, a short record, a spectrum in hertz.
TEST_F(AnalysisDlgTest, AxesTickAtRoundValuesThatFit) {
    dlg.resize(1280, 860);
    dlg.show();
    const std::vector<int32_t> records[] = {
        testrec::Record(65535, 3000, 12, 2e6, 1234.5),
        std::vector<int32_t>(50, -8388608),
        {6143, 6144, 6143, 6145},
    };
    for (const std::vector<int32_t> &record : records) {
        feed(record);
        QApplication::processEvents();
        for (PlotView *plot : {dlg.recordPlot(), dlg.histogramPlot(), dlg.spectrumPlot()}) {
            for (QValueAxis *axis : {plot->axisX(), plot->axisY()}) {
                const std::string where = plot->accessibleName().toStdString() + " " +
                                          std::to_string(axis->min()) + ".." +
                                          std::to_string(axis->max());
                ASSERT_EQ(axis->tickType(), QValueAxis::TicksDynamic) << where;
                const double step = axis->tickInterval();
                const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
                EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                            std::abs(mantissa - 5) < 1e-6)
                    << where << " step " << step;
                const double anchor = axis->tickAnchor() / step;
                EXPECT_NEAR(anchor, std::round(anchor), 1e-6) << where;
                const QRectF area = plot->chart()->plotArea();
                const double ticks = std::floor((axis->max() - axis->min()) / step) + 1;
                const QFontMetrics metrics(axis->labelsFont());
                const QByteArray format = axis->labelFormat().toLatin1();
                QString widest;
                for (double end : {axis->min(), axis->max()}) {
                    const QString label = QString::asprintf(format.constData(), end);
                    if (metrics.horizontalAdvance(label) > metrics.horizontalAdvance(widest))
                        widest = label;
                }
                const double room = axis == plot->axisX() ? area.width() / (ticks * 1.0)
                                                          : area.height() / (ticks * 1.0);
                const double needed =
                    axis == plot->axisX() ? metrics.horizontalAdvance(widest) : metrics.height();
                EXPECT_GT(room, needed) << where << " " << widest.toStdString();
            }
        }
    }
}

// The wheel over the spectrum zooms about the frequency under the pointer, which stays under
// it, and however far it turns the view stays within 0 Hz and half the sample rate.
TEST_F(AnalysisDlgTest, WheelZoomsAboutThePointerWithinTheData) {
    PlotView *plot = showToneSpectrum();
    const QRectF area = plot->chart()->plotArea();
    const double top = plot->axisX()->max();
    EXPECT_NEAR(top, 1000, 1);
    auto turn = [&](QPointF at, int clicks) {
        const QPointF global = plot->viewport()->mapToGlobal(at);
        QWheelEvent wheel(at, global, QPoint(), QPoint(0, 120 * clicks), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot->viewport(), &wheel);
    };
    const struct {
        double across; // where the pointer is, as a share of the plot's width
        int clicks;
    } turns[] = {{0.2, 3}, {0.9, 2}, {0.05, -1}, {0.5, -20}, {0.99, 4}, {0.0, -2}};
    for (const auto &t : turns) {
        const QPointF at(area.left() + area.width() * t.across, area.center().y());
        const double before = plot->valueAt(at).x();
        turn(at, t.clicks);
        const double low = plot->axisX()->min(), high = plot->axisX()->max();
        EXPECT_GE(low, 0.0) << t.across << " " << t.clicks;
        EXPECT_LE(high, top + 1e-9) << t.across << " " << t.clicks;
        EXPECT_LT(low, high);
        // Unless an end of the data held the view, the frequency stays under the pointer.
        if (low > 0 && high < top) {
            EXPECT_NEAR(plot->valueAt(at).x(), before, (high - low) / area.width() * 2)
                << t.across << " " << t.clicks;
        }
        EXPECT_GE(plot->axisY()->min(), -240.0);
        EXPECT_LE(plot->axisY()->max(), 0.0 + 1e-9);
    }
    // Turned all the way out, it shows the whole spectrum again.
    turn(area.center(), -40);
    EXPECT_DOUBLE_EQ(plot->axisX()->min(), 0.0);
    EXPECT_DOUBLE_EQ(plot->axisX()->max(), top);
}

// From the keyboard alone: + and - zoom about the centre, the arrows pan a tenth of the view
// within the data, Home shows it all again; other keys are left to the window.
TEST_F(AnalysisDlgTest, KeysZoomPanAndShowAllWithinTheData) {
    PlotView *plot = showToneSpectrum();
    const double top = plot->axisX()->max();
    auto press = [&](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(plot, &event);
        return event.isAccepted();
    };
    const struct {
        int key;
        double low, high; // the x axis after the key, in hertz
    } steps[] = {
        {Qt::Key_Plus, 100, 900},   {Qt::Key_Equal, 180, 820},  {Qt::Key_Right, 244, 884},
        {Qt::Key_Right, 308, 948},  {Qt::Key_Right, 360, 1000}, {Qt::Key_Left, 296, 936},
        {Qt::Key_Minus, 200, 1000}, {Qt::Key_Home, 0, 1000},
    };
    for (const auto &step : steps) {
        EXPECT_TRUE(press(step.key)) << step.key;
        EXPECT_NEAR(plot->axisX()->min(), step.low * top / 1000, 0.5) << step.key;
        EXPECT_NEAR(plot->axisX()->max(), step.high * top / 1000, 0.5) << step.key;
    }
    EXPECT_FALSE(press(Qt::Key_A));
}

// A converter pinned at a code limit gives figures that look perfect: the window says how many
// samples clipped and marks the figures, which it still shows.
TEST_F(AnalysisDlgTest, FlagsAClippedRecordAndMarksItsFigures) {
    dlg.show();
    std::vector<int32_t> record = testrec::Record(1000, 8388000, 300, 0, 0);
    for (int32_t &code : record)
        code = std::min(code, 8388607);
    feed(record);
    const int64_t atLimit = std::count(record.begin(), record.end(), 8388607);
    ASSERT_GT(atLimit, 0);
    EXPECT_TRUE(dlg.figures()->clipNote()->isVisible());
    EXPECT_EQ(dlg.figures()->clipNote()->text(),
              QStringLiteral("Clipped: %1 of 1000 samples at the code limits").arg(atLimit));
    EXPECT_TRUE(dlg.figures()->marked());
    EXPECT_EQ(figure(QStringLiteral("Maximum"), QStringLiteral("codes")),
              QStringLiteral("8388607"));
    EXPECT_FALSE(figure(QStringLiteral("Std dev (RMS noise)"), QStringLiteral("codes")).isEmpty());

    // The next sound record clears the flag.
    feed(testrec::Record(1000, 0, 30, 0, 0));
    EXPECT_FALSE(dlg.figures()->clipNote()->isVisible());
    EXPECT_FALSE(dlg.figures()->marked());
}

// Every sample at 8388607, as the 2-channel chip gave when its input was beyond full scale:
// not "inf" bits, but a sentence, and the clip.
TEST_F(AnalysisDlgTest, ARecordWithoutNoiseSaysSoInsteadOfInf) {
    dlg.show();
    feed(std::vector<int32_t>(50, 8388607));
    EXPECT_EQ(dlg.figures()->clipNote()->text(),
              QStringLiteral("Clipped: 50 of 50 samples at the code limits"));
    for (const char *row : {"Effective resolution (bits)", "Noise-free resolution (bits)"})
        EXPECT_EQ(figure(QString::fromUtf8(row)), QStringLiteral("no noise: every code equal"))
            << row;
    EXPECT_EQ(figure(QStringLiteral("Std dev (RMS noise)"), QStringLiteral("codes")),
              QStringLiteral("0.000"));
    const AccessibilityReport report = WalkAccessibility(&dlg);
    EXPECT_TRUE(report.violations.isEmpty()) << report.describe();
}

TEST_F(AnalysisDlgTest, SaysWhenTheSpectrumIsZeroPadded) {
    feed(testrec::Record(65535, 0, 5, 0, 0));
    EXPECT_TRUE(dlg.stateLabel()->text().contains(QStringLiteral("zero-padded to a 65536-point")));
    EXPECT_TRUE(dlg.histogram().fit.valid);
}

TEST_F(AnalysisDlgTest, ExportWritesTheCsvAndThreePictures) {
    dlg.resize(1000, 700);
    dlg.show();
    feed({10, -20, 30}, 100);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("noise.csv"));
    QString proposed;
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &request) {
        proposed = request.proposedPath;
        return path;
    });
    QTest::mouseClick(dlg.exportButton(), Qt::LeftButton);
    EXPECT_TRUE(proposed.endsWith(QStringLiteral(".csv")));
    QFile csv(path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_GE(lines.size(), 4);
    // The window has no arrival times: the rate's rule, and the file says so.
    EXPECT_EQ(lines[0], "# time_s: index / data rate");
    EXPECT_EQ(lines[1], "index,time_s,code,volts");
    EXPECT_EQ(lines[3], "1,0.01,-20,-1.1920929e-05");
    for (const char *suffix : {"_record.png", "_histogram.png", "_spectrum.png"})
        EXPECT_TRUE(
            QFileInfo(dir.filePath(QStringLiteral("noise") + QLatin1String(suffix))).size() > 0)
            << suffix;
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(AnalysisDlgTest, ExportToAFolderThatIsNotThereIsReported) {
    feed({1, 2, 3});
    EXPECT_FALSE(dlg.ExportTo(QStringLiteral("/nonexistent-folder/x.csv")));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.texts().front(),
              QStringLiteral("/nonexistent-folder/x.csv: No such folder"));
}

// What a screen reader or a test rig meets: every control that takes the focus has a name,
// and none is called "Chart" (that name belongs to the main window's chart).
TEST_F(AnalysisDlgTest, EveryFocusableControlHasAName) {
    dlg.show();
    feed(testrec::Record(1000, 0, 3, 1e5, 17.2));
    int controls = 0;
    for (QWidget *w : dlg.findChildren<QWidget *>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(&dlg))
            continue;
        ++controls;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr);
        const QString name = a->text(QAccessible::Name);
        EXPECT_FALSE(name.trimmed().isEmpty()) << w->metaObject()->className();
        EXPECT_NE(name, QStringLiteral("Chart")) << w->metaObject()->className();
    }
    EXPECT_EQ(controls, 6 + 3 + 25);
}

// The guard every window passes: labels are buddies, focusable controls are named, every shown
// figure and note can be read, and the one "Chart" stays the main window's. Empty, with a tone,
// and after a plot's readout showed a value.
TEST_F(AnalysisDlgTest, PassesTheAccessibilityWalk) {
    dlg.show();
    AccessibilityReport report = WalkAccessibility(&dlg);
    EXPECT_TRUE(report.violations.isEmpty()) << report.describe();
    feed(testrec::Record(1000, 0, 3, 1e5, 17.2));
    QApplication::processEvents();
    PlotView *plot = dlg.recordPlot();
    QTest::mouseMove(plot->viewport(), plot->viewport()->rect().center());
    ASSERT_FALSE(plot->readoutLabel()->text().isEmpty());
    report = WalkAccessibility(&dlg);
    EXPECT_TRUE(report.violations.isEmpty()) << report.describe();
    EXPECT_GT(report.checked, 0);
    EXPECT_GT(report.textsChecked, 40);
    EXPECT_EQ(report.namedChart, 0);
}
