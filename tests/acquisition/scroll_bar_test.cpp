// Every way of moving the chart's scroll bar, against the first sample drawn and the thumb.

#include "controller_fixture.h"

#include "acquisition/statistics.h"
#include "platform/message_service.h"
#include "tests/support/board_on_pty.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
// 100 samples on show and the bar's range of an acquisition of 100: maximum 99, page 45, the
// thumb held at 55 at most.
void showHundredSamples(FakeMainWindow &w) {
    std::vector<uint8_t> items;
    for (int i = 0; i < 100; ++i)
        items.insert(items.end(), {0x00, 0x04, uint8_t(i), uint8_t(0x04 + i)});
    g_sampleRecord.assign(items.data(), 100);
    UpdateStatistics(g_samples, w.controller->m_chartState);
    w.controller->RedrawChart();
    // A failed start still sets the bar to the new count's range, and leaves the samples: a
    // board whose port closed under it.
    BoardOnPty pty;
    ASSERT_TRUE(pty.start());
    ASSERT_EQ(pty.detect(), 1);
    pty.link().close();
    w.board = pty.session();
    w.controls.dataCount->setText("100");
    platform::MessageRecorder quiet;
    w.controller->OnStartAcquisition();
    w.board.reset();
    ASSERT_EQ(quiet.texts(), QStringList{"Send command failed !"});
}

// Picks an entry of the bar's own context menu, opened at x.
void chooseFromContextMenu(QScrollBar *bar, const QString &entry, int x) {
    bool chosen = false;
    QTimer::singleShot(0, bar, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction *action : menu->actions()) {
            if (action->text() == entry) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                chosen = true;
                return;
            }
        }
        menu->close();
    });
    const QPoint at(x, bar->height() / 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, bar->mapToGlobal(at));
    QApplication::sendEvent(bar, &event);
    EXPECT_TRUE(chosen) << entry.toStdString();
}

struct Way {
    const char *name;
    int from; // thumb before
    std::function<void(QScrollBar *)> move;
    int first; // first sample drawn after, -1: the thumb's new position
    int thumb; // -1: wherever the way put it, as long as the chart follows
};

std::function<void(QScrollBar *)> action(QAbstractSlider::SliderAction a) {
    return [a](QScrollBar *bar) { bar->triggerAction(a); };
}
std::function<void(QScrollBar *)> key(Qt::Key k) {
    return [k](QScrollBar *bar) { QTest::keyClick(bar, k); };
}
std::function<void(QScrollBar *)> menu(const char *entry, double at = 0.5) {
    return [entry, at](QScrollBar *bar) {
        chooseFromContextMenu(bar, QString::fromLatin1(entry), int(bar->width() * at));
    };
}
std::function<void(QScrollBar *)> drag(int to) {
    return [to](QScrollBar *bar) {
        bar->setSliderDown(true);
        bar->setSliderPosition(to);
        bar->setSliderDown(false);
    };
}
std::function<void(QScrollBar *)> click(double at) {
    return [at](QScrollBar *bar) {
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          QPoint(int(bar->width() * at), bar->height() / 2));
    };
}

TEST(ScrollBar, EveryWayOfMovingItMovesTheChartAsTheRulesSay) {
    const Way ways[] = {
        {"page right from 0", 0, action(QAbstractSlider::SliderPageStepAdd), 45, 45},
        {"page right stops a page before the last sample", 45,
         action(QAbstractSlider::SliderPageStepAdd), 54, 54},
        {"right end: the chart from the last sample, the thumb held", 0,
         action(QAbstractSlider::SliderToMaximum), 99, 55},
        {"line right from the held thumb", 55, action(QAbstractSlider::SliderSingleStepAdd), 56,
         55},
        {"line left", 10, action(QAbstractSlider::SliderSingleStepSub), 9, 9},
        {"line left at 0", 0, action(QAbstractSlider::SliderSingleStepSub), 0, 0},
        {"page left", 50, action(QAbstractSlider::SliderPageStepSub), 5, 5},
        {"page left within the first page", 30, action(QAbstractSlider::SliderPageStepSub), 0, 0},
        {"left end", 30, action(QAbstractSlider::SliderToMinimum), 0, 0},
        {"drag", 0, drag(20), 20, 20},
        {"key Right", 10, key(Qt::Key_Right), 11, 11},
        {"key Left", 10, key(Qt::Key_Left), 9, 9},
        {"key Page Down", 0, key(Qt::Key_PageDown), 45, 45},
        {"key Page Up", 50, key(Qt::Key_PageUp), 5, 5},
        {"key Home", 30, key(Qt::Key_Home), 0, 0},
        {"key End", 0, key(Qt::Key_End), 99, 55},
        {"click on the track right of the thumb", 0, click(0.8), 45, 45},
        {"click on the right arrow", 10, click(0.995), 11, 11},
        {"menu Scroll here", 0, menu("Scroll here", 0.6), -1, -1},
        {"menu Left edge", 30, menu("Left edge"), 0, 0},
        {"menu Right edge", 0, menu("Right edge"), 99, 55},
        {"menu Page left", 50, menu("Page left"), 5, 5},
        {"menu Page right", 0, menu("Page right"), 45, 45},
        {"menu Scroll left", 10, menu("Scroll left"), 9, 9},
        {"menu Scroll right", 10, menu("Scroll right"), 11, 11},
    };
    for (const Way &way : ways) {
        SCOPED_TRACE(way.name);
        FakeMainWindow w;
        ASSERT_NO_FATAL_FAILURE(showHundredSamples(w));
        auto *bar = w.controls.scrollBar;
        bar->setGeometry(300, 380, 560, 17);
        drag(way.from)(bar);
        ASSERT_EQ(w.controller->viewStart(), way.from);
        ASSERT_EQ(bar->value(), way.from);

        way.move(bar);
        const ChartView &view = w.controller->chartView();
        if (way.thumb >= 0)
            EXPECT_EQ(bar->value(), way.thumb);
        else
            EXPECT_GT(bar->value(), way.from);
        EXPECT_EQ(view.scroll.position, bar->value()) << "the bar shows the view's thumb";
        EXPECT_EQ(w.controller->viewStart(), way.first >= 0 ? way.first : bar->value());
        EXPECT_EQ(view.firstSample, w.controller->viewStart());
    }
}

TEST(ScrollBar, LineChartIsDrawnFromTheThumbWhenChosenAgain) {
    FakeMainWindow w;
    ASSERT_NO_FATAL_FAILURE(showHundredSamples(w));
    auto *bar = w.controls.scrollBar;
    auto *list = w.controls.graphType;
    bar->triggerAction(QAbstractSlider::SliderToMaximum); // chart from 99, thumb at 55
    list->setCurrentIndex(1);
    emit list->activated(1);
    bar->triggerAction(QAbstractSlider::SliderToMinimum); // ignored: no line chart on show
    EXPECT_EQ(bar->value(), 55);
    EXPECT_TRUE(w.controller->showsDistribution());
    list->setCurrentIndex(0);
    emit list->activated(0);
    EXPECT_EQ(w.controller->viewStart(), 55);
    EXPECT_EQ(bar->value(), 55);
}
} // namespace
