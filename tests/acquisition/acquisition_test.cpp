// "Start get ADC data" end to end: the controller, the real transport and a virtual board.

#include "board_fixture.h"
#include "controller_fixture.h"

#include "link/frames.h"

#include <QDialog>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

namespace {
QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

class AcquisitionTest : public AcqBoardTest {
  protected:
    void SetUp() override {
        AcqBoardTest::SetUp();
        w.board = m_pty.session();
    }
    int acquiring() const { return m_pty.session()->busy().acquiring; }

    FakeMainWindow w;
    void start(const QString &count) {
        w.controls.dataCount->setText(count);
        w.controller->OnStartAcquisition();
    }
};

TEST_F(AcquisitionTest, SamplesStatisticsAndChart) {
    platform::MessageRecorder messages;
    w.controls.dataCount->clear();
    w.controller->OnStartAcquisition();
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(w.controls.dataCount->text(), "45");
    EXPECT_EQ(w.refreshes, 1);
    ASSERT_EQ(g_samples.size(), 45u);
    const std::vector<uint8_t> sent = sentItems(45 * 4);
    EXPECT_EQ(w.controller->m_rawItems, sent);
    for (size_t i = 0; i < 45; ++i)
        EXPECT_EQ(g_samples[i], ItemValue(&sent[i * 4]));
    const auto [lo, hi] = std::minmax_element(g_samples.begin(), g_samples.end());
    EXPECT_EQ(w.controls.minimum->text(), QString::number(*lo));
    EXPECT_EQ(w.controls.maximum->text(), QString::number(*hi));
    EXPECT_FALSE(w.controls.average->text().isEmpty());
    EXPECT_EQ(w.controls.progress->value(), 0);
    EXPECT_TRUE(w.controls.start->isEnabled());
    EXPECT_EQ(acquiring(), 0);
    EXPECT_EQ(w.controls.scrollBar->maximum(), 0);
}

TEST_F(AcquisitionTest, FailedAcquisitionLeavesTheLastOneWhole) {
    QTemporaryDir dir;
    g_saveFolder = dir.path() + "/";
    platform::MessageRecorder messages;
    start("100");
    ASSERT_EQ(g_samples.size(), 100u);
    const std::vector<int32_t> samples = g_samples;
    const std::vector<uint8_t> items = w.controller->m_rawItems;
    const QString minimum = w.controls.minimum->text();
    const QImage chart = w.controller->chartArea()->picture();

    sim::Faults faults;
    faults.badItemIndex = 3;
    board().setFaults(faults);
    start("50");
    ASSERT_EQ(messages.texts(), QStringList{"The checksum of item 3 is invalid !"});
    faults = {};
    faults.stopAfterItems = 20;
    board().setFaults(faults);
    {
        const ExpectSilence silence(&link());
        start("60");
    }
    EXPECT_EQ(messages.texts().last(), "Get item 20 failed !");

    EXPECT_EQ(g_samples, samples);
    EXPECT_EQ(w.controls.minimum->text(), minimum);
    EXPECT_EQ(w.controller->chartArea()->picture(), chart);
    // The scroll bar already has the last attempt's range.
    EXPECT_EQ(w.controls.scrollBar->maximum(), 60 - 45);

    // The files of a save after the failures describe the acquisition on show.
    w.answerSave = [](const QString &proposed) { return proposed + ".txt"; };
    w.controller->OnSaveFile();
    const QString base = dir.path() + "/ADC_20260102_13_05_09";
    EXPECT_EQ(readAll(base + ".bin"),
              QByteArray(reinterpret_cast<const char *>(items.data()), 400));
    EXPECT_EQ(readAll(base + ".txt").size(), 1100);
}

TEST_F(AcquisitionTest, DetectEvmDuringTheTransfer) {
    platform::MessageRecorder messages;
    start("100");
    // The board sends 30 of the 80 items asked for and falls silent. Once the program holds
    // all 30, what "Detect EVM" does first: end the transfer, close the port, reset the chart.
    sim::Faults stops;
    stops.stopAfterItems = 30;
    board().setFaults(stops);
    bool detected = false;
    QObject::connect(w.controls.progress, &QProgressBar::valueChanged, &w.window, [&](int percent) {
        if (detected || percent < 100 * 30 / 80)
            return;
        detected = true;
        EXPECT_TRUE(w.controller->transferRunning());
        w.controller->endTransfer();
        EXPECT_FALSE(w.controller->transferRunning());
        EXPECT_TRUE(messages.messages().empty()) << "told once the handler goes on";
        link().close();
        w.board.reset();
        w.controller->ResetChartView();
    });
    start("80");
    EXPECT_TRUE(detected);
    EXPECT_EQ(messages.texts(), QStringList{"Get item 30 failed !"});
    EXPECT_TRUE(g_samples.empty());
    EXPECT_EQ(acquiring(), 0);
    EXPECT_TRUE(w.controls.start->isEnabled());
    EXPECT_EQ(w.controls.progress->value(), 0);
}

// Without a panel, without a board or while the board is busy, nothing is asked of the
// board and the chip is not read again.
TEST_F(AcquisitionTest, NoPanelNoBoardOrBusyMeansNoAcquisition) {
    platform::MessageRecorder messages;
    const struct {
        const char *name;
        bool panel;
        bool board;
        bool busy;
    } rows[] = {
        {"no panel", false, true, false},
        {"no board", true, false, false},
        {"busy", true, true, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        w.panel = row.panel;
        w.board = row.board ? m_pty.session() : nullptr;
        m_pty.session()->busy().acquiring = row.busy ? 1 : 0;
        w.controller->OnStartAcquisition();
        m_pty.session()->busy().acquiring = 0;
    }
    w.panel = true;
    w.board = m_pty.session();
    EXPECT_EQ(w.refreshes, 0);
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_TRUE(board().receivedFrames().empty());

    // A negative count sends nothing and leaves the button usable.
    start("-5");
    EXPECT_EQ(w.refreshes, 1);
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_TRUE(board().receivedFrames().empty());
    EXPECT_TRUE(w.controls.start->isEnabled());
    EXPECT_EQ(acquiring(), 0);
}

// The items come on a thread of their own: a modal dialog opened as they start stays up until
// the board has sent the last one, the program has taken it off the line and the bar shows
// 100. At the wire's pace the 3000 items take about a second. The dialog opens from the bar's
// first step, before the window can have heard of the transfer's end.
TEST_F(AcquisitionTest, AModalDialogDoesNotStallTheTransfer) {
    board().setPacing(sim::Pacing::Wire);
    constexpr int kCount = 3000;
    platform::MessageRecorder messages;
    bool opened = false;
    bool runningAtOpen = false;
    bool takenWhileOpen = false;
    QObject::connect(w.controls.progress, &QProgressBar::valueChanged, &w.window, [&](int percent) {
        if (opened || percent < 1)
            return;
        opened = true;
        runningAtOpen = w.controller->transferRunning();
        QDialog box(&w.window);
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, &box, [&] {
            if (board().sentItemBytes().size() == size_t{kCount} * 4 && board().idle() &&
                w.controls.progress->value() == 100) {
                takenWhileOpen = true;
                box.accept();
            }
        });
        watch.start(5);
        QTimer::singleShot(kEventWaitLimitMs, &box, &QDialog::reject);
        box.exec();
    });
    start(QString::number(kCount));
    ASSERT_TRUE(opened);
    EXPECT_TRUE(runningAtOpen);
    EXPECT_TRUE(takenWhileOpen);
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(w.controller->m_rawItems, sentItems(size_t{kCount} * 4));
    EXPECT_EQ(g_samples.size(), size_t{kCount});
    EXPECT_EQ(w.controls.progress->value(), 0);
}
