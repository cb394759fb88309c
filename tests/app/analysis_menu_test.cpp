// The analysis window from the main window's "&Analysis" menu, fed by real acquisitions from
// the virtual board through the real panel and transport.

#include "panel_host_fixture.h"

#include "acquisition/samples.h"
#include "analysis/analysis_dlg.h"
#include "analysis/analysis_figures_view.h"
#include "analysis/reference_edit.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

namespace {
class AnalysisMenuTest : public PanelHostTest {
  protected:
    void SetUp() override {
        PanelHostTest::SetUp();
        board.setPacing(sim::Pacing::None);
        g_sampleRecord.clear();
    }
    QAction *menuAction(const QString &menu, const QString &item) const {
        for (QAction *top : dlg.commandMenuBar()->actions()) {
            if (top->text() != menu || !top->menu())
                continue;
            // Looked up as read, without the access letters' marks.
            for (QAction *action : top->menu()->actions())
                if (QString(action->text()).remove(u'&') == item)
                    return action;
        }
        return nullptr;
    }
    void fetch(const QString &count) {
        edit(mainwindow::kDataCount)->setText(count);
        QTest::mouseClick(dlg.control(mainwindow::kStartAcquisition), Qt::LeftButton);
    }
    QString figure(const QString &row, const QString &unit = QString()) const {
        QLineEdit *field = dlg.analysisWindow()->figures()->value(row, unit);
        return field ? field->text() : QString();
    }
};
} // namespace

TEST_F(AnalysisMenuTest, SecondMenuLeavesTheCommandMenuAsItWas) {
    const QList<QAction *> menus = dlg.commandMenuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("&Pellorin"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("&Analysis"));
    QStringList first;
    for (QAction *action : menus[0]->menu()->actions())
        first << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(first, (QStringList{"&Load Profile", "&Save Profile", "-", "&Update Firmware",
                                  "&About Pellorin..."}));
    ASSERT_NE(menuAction(QStringLiteral("&Analysis"), QStringLiteral("Noise and Spectrum...")),
              nullptr);
}

// The keyboard reaches every item: each menu title and each item carries an access letter,
// none shared within its menu (or among the titles).
TEST_F(AnalysisMenuTest, EveryMenuItemHasAnAccessLetterOfItsOwn) {
    auto accessLetter = [](const QString &text) {
        const qsizetype at = text.indexOf(u'&');
        return at >= 0 && at + 1 < text.size() && text[at + 1] != u'&' ? text[at + 1].toLower()
                                                                       : QChar();
    };
    auto expectUnique = [&](const QList<QAction *> &actions, const QString &where) {
        QString letters;
        for (QAction *action : actions) {
            if (action->isSeparator())
                continue;
            const QChar letter = accessLetter(action->text());
            EXPECT_TRUE(letter.isLetterOrNumber())
                << where.toStdString() << ": " << action->text().toStdString();
            EXPECT_FALSE(letters.contains(letter))
                << where.toStdString() << ": " << action->text().toStdString();
            letters += letter;
        }
        return letters.size();
    };
    const QList<QAction *> menus = dlg.commandMenuBar()->actions();
    expectUnique(menus, QStringLiteral("menu bar"));
    int items = 0;
    for (QAction *menu : menus) {
        ASSERT_NE(menu->menu(), nullptr);
        items += expectUnique(menu->menu()->actions(), menu->text());
    }
    EXPECT_EQ(items, 4 + 3); // the command menu's four, the analysis menu's three
}

TEST_F(AnalysisMenuTest, FollowsEachAcquisitionWithThePanelsScale) {
    menuAction(QStringLiteral("&Analysis"), QStringLiteral("Noise and Spectrum..."))->trigger();
    CAnalysisDlg *window = dlg.analysisWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_FALSE(window->hasSamples());

    clickDetect();
    ASSERT_NE(panel(), nullptr);
    fetch(QStringLiteral("300"));
    ASSERT_EQ(g_samples.size(), 300u);
    EXPECT_EQ(figure(QStringLiteral("Count"), QStringLiteral("codes")), QStringLiteral("300"));
    // The chip's gain and data rate as read, and the reference the panel shows.
    const double gain = vxc5480::PgaGain(panel()->m_current[vxc5480::kAdcon]);
    EXPECT_EQ(window->gainEdit()->text().toDouble(), gain);
    EXPECT_EQ(window->referenceEdit()->text(), QStringLiteral("2.5"));
    EXPECT_DOUBLE_EQ(window->fullScaleEdit()->text().toDouble(), 10.0 / gain);
    EXPECT_EQ(window->sampleRateEdit()->text().toDouble(),
              vxc5480::DataRateSps(panel()->m_current[vxc5480::kDrate]));
    EXPECT_GT(window->sampleRateEdit()->text().toDouble(), 0);

    fetch(QStringLiteral("120"));
    EXPECT_EQ(figure(QStringLiteral("Count"), QStringLiteral("codes")), QStringLiteral("120"));
}

TEST_F(AnalysisMenuTest, OpenedAfterAnAcquisitionShowsItsSamples) {
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    fetch(QStringLiteral("64"));
    dlg.OnNoiseAndSpectrum();
    ASSERT_NE(dlg.analysisWindow(), nullptr);
    EXPECT_EQ(figure(QStringLiteral("Count"), QStringLiteral("codes")), QStringLiteral("64"));
    // A second open shows the same window.
    CAnalysisDlg *first = dlg.analysisWindow();
    dlg.OnNoiseAndSpectrum();
    EXPECT_EQ(dlg.analysisWindow(), first);
}

TEST_F(AnalysisMenuTest, FindsTheVirtualBoardsSine) {
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    const double rate = vxc5480::DataRateSps(panel()->m_current[vxc5480::kDrate]);
    ASSERT_GT(rate, 0);
    // 64.3 cycles in 2048 samples, 0.5 V on a 10 V range: far above the board's noise.
    sim::SignalModel signal;
    signal.sineHz = rate * 64.3 / 2048;
    signal.sineAmplitudeVolts = 0.5;
    board.setSignal(signal);
    dlg.OnNoiseAndSpectrum();
    fetch(QStringLiteral("2048"));
    const CAnalysisDlg *window = dlg.analysisWindow();
    ASSERT_TRUE(window->spectrum().tone.has_value());
    EXPECT_NEAR(window->spectrum().tone->frequencyHz, signal.sineHz, window->spectrum().binHz);
    EXPECT_GT(window->spectrum().tone->snrDb, 60);
}

// What users look for first: mains hum, a few bins above DC in a short record at the start
// rate (50 Hz in 4096 samples at 30000 SPS is bin 6.8).
TEST_F(AnalysisMenuTest, FindsMainsHumAFewBinsAboveDc) {
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    sim::SignalModel signal = sim::DefaultSignal(sim::Chip::VXC5480);
    signal.sineHz = 50;
    signal.sineAmplitudeVolts = 1;
    board.setSignal(signal);
    dlg.OnNoiseAndSpectrum();
    fetch(QStringLiteral("4096"));
    const CAnalysisDlg *window = dlg.analysisWindow();
    ASSERT_TRUE(window->spectrum().tone.has_value());
    EXPECT_NEAR(window->spectrum().tone->frequencyHz, 50, window->spectrum().binHz / 2);
    EXPECT_GT(window->spectrum().tone->snrDb, 60);
}

// An input far below the range: every sample at the bottom code, flagged and not "inf".
TEST_F(AnalysisMenuTest, FlagsARecordTheBoardClipped) {
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    sim::SignalModel signal = sim::DefaultSignal(sim::Chip::VXC5480);
    signal.inputVolts[0] = -9.0; // AIN0 - AIN1
    board.setSignal(signal);
    dlg.OnNoiseAndSpectrum();
    fetch(QStringLiteral("100"));
    AnalysisFiguresView *figures = dlg.analysisWindow()->figures();
    EXPECT_EQ(figures->clipNote()->text(),
              QStringLiteral("Clipped: 100 of 100 samples at the code limits"));
    EXPECT_TRUE(figures->marked());
    EXPECT_EQ(figure(QStringLiteral("Effective resolution (bits)")),
              QStringLiteral("no noise: every code equal"));
}
