// The controller wired to a window's controls: reset, data count, scrolling, graph type,
// colours and saving, without a board (or with one whose port is closed, where an acquisition
// must start and fail).

#include "controller_fixture.h"

#include "acquisition/statistics.h"
#include "platform/message_service.h"
#include "tests/support/board_on_pty.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

namespace {
const QRgb kRed = qRgb(255, 0, 0);

// Samples as a successful acquisition leaves them.
void giveSamples(FakeMainWindow &w, int count, int32_t value = 1100) {
    std::vector<uint8_t> items;
    for (int i = 0; i < count; ++i) {
        const int32_t v = value + (i % 3);
        const uint8_t b[3] = {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
        items.insert(items.end(), {b[0], b[1], b[2], uint8_t(b[0] + b[1] + b[2])});
    }
    g_sampleRecord.assign(items.data(), count);
    UpdateStatistics(g_samples, w.controller->m_chartState);
    w.controller->RedrawChart();
}

int dataPixels(const QImage &image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

TEST(AcquisitionController, ResetShowsTheEmptyChartAndDefaults) {
    FakeMainWindow w;
    giveSamples(w, 50);
    w.controls.minimum->setText("1");
    w.controller->m_colors.m_dataColor = Qt::blue;
    w.controller->ResetChartView();

    EXPECT_TRUE(g_samples.empty());
    EXPECT_EQ(w.controls.dataCount->text(), "45");
    EXPECT_EQ(w.controls.dataCount->maxLength(), 5);
    EXPECT_TRUE(w.controls.minimum->text().isEmpty());
    EXPECT_EQ(w.controls.dataColor->color(), QColor(255, 0, 0));
    EXPECT_EQ(w.controls.backgroundColor->color(), QColor(16, 16, 16));
    ChartArea *chart = w.controller->chartArea();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->accessibleName(), "Chart");
    EXPECT_EQ(chart->picture().size(), chart->size());
    EXPECT_EQ(dataPixels(chart->picture(), kRed), 0);
}

TEST(AcquisitionController, DataCountAboveTheLimitIsRefused) {
    FakeMainWindow w;
    platform::MessageRecorder messages;
    auto *edit = w.controls.dataCount;
    edit->clear();
    QTest::keyClicks(edit, "7000");
    EXPECT_TRUE(messages.messages().empty());
    QTest::keyClicks(edit, "0");
    ASSERT_EQ(messages.texts(), QStringList{"Data count should be less than 65536 !"});
    EXPECT_EQ(messages.messages()[0].caption, "Error occured !");
    EXPECT_EQ(messages.messages()[0].icon, platform::MessageIcon::None);
    EXPECT_EQ(messages.messages()[0].owner, &w.window);
    EXPECT_EQ(edit->text(), "65535");
    edit->setText("65535");
    EXPECT_EQ(messages.messages().size(), 1u);
}

TEST(AcquisitionController, ScrollingFollowsTheNotificationRules) {
    FakeMainWindow w;
    giveSamples(w, 100);
    auto *bar = w.controls.scrollBar;
    // What the start of an acquisition of 100 does to the bar.
    bar->setRange(0, 55);
    bar->setPageStep(45);
    w.controller->OnHScroll(ScrollCode::Other); // no effect
    struct Step {
        QAbstractSlider::SliderAction action;
        int start;
        int bar;
    };
    const Step steps[] = {{QAbstractSlider::SliderPageStepAdd, 45, 45},
                          {QAbstractSlider::SliderPageStepAdd, 54, 54},
                          {QAbstractSlider::SliderToMaximum, 99, 55},
                          {QAbstractSlider::SliderSingleStepAdd, 56, 55},
                          {QAbstractSlider::SliderPageStepSub, 10, 10},
                          {QAbstractSlider::SliderToMinimum, 0, 0}};
    // The bar's model comes from the start of an acquisition, even one that fails: here on a
    // board whose port closed under it.
    BoardOnPty pty;
    ASSERT_TRUE(pty.start());
    ASSERT_EQ(pty.detect(), 1);
    pty.link().close();
    w.board = pty.session();
    w.controls.dataCount->setText("100");
    {
        platform::MessageRecorder quiet;
        w.controller->OnStartAcquisition();
        EXPECT_EQ(quiet.texts(), QStringList{"Send command failed !"});
    }
    for (const Step &s : steps) {
        bar->triggerAction(s.action);
        EXPECT_EQ(w.controller->viewStart(), s.start) << s.action;
        EXPECT_EQ(bar->value(), s.bar) << s.action;
    }
}

TEST(AcquisitionController, ColourShowsAtOnceWithoutMovingTheView) {
    FakeMainWindow w;
    giveSamples(w, 100);
    w.controller->DrawLineChart(54);
    w.answerColor = QColor(0, 0, 255);
    emit w.controls.dataColor->clicked();
    EXPECT_EQ(w.controls.dataColor->color(), QColor(0, 0, 255));
    EXPECT_EQ(w.controller->viewStart(), 54);
    const QImage picture = w.controller->chartArea()->picture();
    EXPECT_EQ(dataPixels(picture, kRed), 0);
    EXPECT_GT(dataPixels(picture, qRgb(0, 0, 255)), 0);

    w.answerColor = QColor(); // cancelled
    emit w.controls.gridColor->clicked();
    EXPECT_EQ(w.controller->m_colors.m_gridColor, QColor(0, 160, 0));
}

TEST(AcquisitionController, GraphTypeSwitchHidesTheScrollBar) {
    FakeMainWindow w;
    giveSamples(w, 100);
    auto *list = w.controls.graphType;
    auto *bar = w.controls.scrollBar;
    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_TRUE(w.controller->showsDistribution());
    EXPECT_TRUE(bar->isHidden());
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd); // ignored while hidden
    EXPECT_TRUE(w.controller->showsDistribution());
    list->setCurrentIndex(0);
    emit list->activated(0);
    EXPECT_FALSE(w.controller->showsDistribution());
    EXPECT_FALSE(bar->isHidden());
}

TEST(AcquisitionController, SaveWritesBothFilesAndMovesToAFreshName) {
    QTemporaryDir dir;
    FakeMainWindow w;
    g_saveFolder = dir.path() + "/";
    w.answerSave = [](const QString &proposed) { return proposed + ".txt"; };
    // Samples 5, -3 and 1234567.
    const std::vector<uint8_t> items = {0x00, 0x00, 0x05, 0x05, 0xFF, 0xFF,
                                        0xFD, 0xFB, 0x12, 0xD6, 0x87, 0x6F};
    g_sampleRecord.assign(items.data(), 3);
    w.controller->m_rawItems = {1, 2, 3, 4}; // a later failed attempt's: never saved

    w.controller->OnSaveFile();
    const QString base = dir.path() + "/ADC_20260102_13_05_09";
    EXPECT_EQ(w.proposals, QStringList{base});
    EXPECT_EQ(readAll(base + ".txt"), QByteArray("        5\r\n       -3\r\n  1234567\r\n"));
    EXPECT_EQ(readAll(base + ".bin"), QByteArray(reinterpret_cast<const char *>(items.data()), 12));
    EXPECT_EQ(w.controls.logFilePath->text(), base + ".txt");

    // The same name again: the raw file exists, so both go to a fresh time stamp.
    w.clock = w.clock.addSecs(61);
    w.answerSave = [base](const QString &) { return base + ".txt"; };
    w.controller->OnSaveFile();
    const QString fresh = dir.path() + "/ADC_20260102_13_06_10";
    EXPECT_EQ(w.controls.logFilePath->text(), fresh + ".txt");
    EXPECT_EQ(readAll(fresh + ".txt").size(), 33);
    EXPECT_EQ(readAll(fresh + ".bin").size(), 12);

    // Within the same second the fresh name is taken too; nothing is overwritten.
    w.controller->OnSaveFile();
    EXPECT_EQ(w.controls.logFilePath->text(), fresh + "_2.txt");
    EXPECT_EQ(readAll(fresh + "_2.bin").size(), 12);

    // Cancelled: nothing written, the path emptied.
    w.answerSave = {};
    w.controller->OnSaveFile();
    EXPECT_TRUE(w.controls.logFilePath->text().isEmpty());
    EXPECT_TRUE(w.controller->m_paths.m_rawPath.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 6);
}

TEST(AcquisitionController, SaveFailuresAreReported) {
    QTemporaryDir dir;
    FakeMainWindow w;
    giveSamples(w, 9);
    platform::MessageRecorder messages;
    // A folder stands where the raw file should go.
    QDir(dir.path()).mkdir("blocked.bin");
    w.answerSave = [&dir](const QString &) { return dir.path() + "/blocked.txt"; };
    w.controller->OnSaveFile();
    // The existing name moves the save to a fresh name, which works.
    EXPECT_TRUE(messages.messages().empty());

    w.answerSave = [&dir](const QString &) { return dir.path() + "/nofolder/x.txt"; };
    w.controller->OnSaveFile();
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[0].caption, "Error");
    EXPECT_EQ(messages.messages()[1].text, "Save ADC Raw Data Failed !");
    EXPECT_EQ(messages.messages()[1].caption, "Error occured !");
    for (const platform::Message &m : messages.messages()) {
        EXPECT_EQ(m.icon, platform::MessageIcon::None) << m.text.toStdString();
        EXPECT_EQ(m.owner, &w.window) << m.text.toStdString();
    }

    // The text file cannot be made: the raw data file is written all the same.
    messages.clear();
    QDir(dir.path()).mkdir("text.txt");
    w.answerSave = [&dir](const QString &) { return dir.path() + "/text.txt"; };
    w.controller->OnSaveFile();
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[0].caption, "Error");
    EXPECT_EQ(messages.messages()[1].text, "Save ADC Data Failed !");
    EXPECT_EQ(messages.messages()[1].caption, "Error occured !");
    EXPECT_EQ(messages.messages()[1].icon, platform::MessageIcon::None);
    EXPECT_EQ(QFileInfo(dir.path() + "/text.bin").size(), 9 * 4);

    // Without a dot in the file name, or without samples, nothing is written.
    messages.clear();
    w.answerSave = [&dir](const QString &) { return dir.path() + "/with.dot/plain"; };
    w.controller->OnSaveFile();
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_FALSE(QFile::exists(dir.path() + "/with.bin"));
}
