// "Start get ADC data" in the real main window with the real VXC5480 panel, against the virtual
// board on a pty: the whole path a user takes, from the button to the chart and the files.

#include "panel_host_fixture.h"

#include "acquisition/acquisition_controller.h"
#include "acquisition/samples.h"
#include "chips/vxc5480/register_fields.h"
#include "link/frames.h"
#include "platform/colour_chooser.h"
#include "scan/scan_dlg.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

class AcquisitionWindowTest : public PanelHostTest {
  protected:
    void SetUp() override {
        PanelHostTest::SetUp();
        board.setPacing(sim::Pacing::None);
        clickDetect();
        ASSERT_NE(panel(), nullptr);
        g_sampleRecord.clear();
    }
    void TearDown() override {
        platform::SetColorChooserAnswer({});
        PanelHostTest::TearDown();
    }

    void fetch(const QString &count) {
        edit(mainwindow::kDataCount)->setText(count);
        board.clearReceivedFrames();
        QTest::mouseClick(dlg.control(mainwindow::kStartAcquisition), Qt::LeftButton);
    }
    std::vector<int32_t> samplesSentByBoard() const {
        const std::vector<uint8_t> bytes = board.sentItemBytes();
        std::vector<int32_t> values;
        for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
            values.push_back(ItemValue(&bytes[i]));
        return values;
    }
    QImage chart() const { return dlg.acquisition()->chartArea()->picture(); }
    static int pixelsOf(const QImage &image, QColor color) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == color;
        }
        return n;
    }
};

TEST_F(AcquisitionWindowTest, FetchesRefreshesTheChipAndDrawsTheSamples) {
    fetch(QStringLiteral("100"));

    const BoardFrames frames = board.receivedFrames();
    ASSERT_EQ(frames.size(), 12u) << "eleven register reads, then the request";
    for (uint8_t a = 0; a < 11; ++a)
        EXPECT_EQ(frames[a], frameOf(0x02, a));
    EXPECT_EQ(frames[11], (BoardFrame{0x55, 0x01, 0x0F, 0x00, 0x64, 0x8C}));

    EXPECT_EQ(g_samples, samplesSentByBoard());
    EXPECT_EQ(g_samples.size(), 100u);
    EXPECT_FALSE(edit(mainwindow::kMinimum)->text().isEmpty());
    EXPECT_FALSE(edit(mainwindow::kAverage)->text().isEmpty());
    EXPECT_GT(pixelsOf(chart(), Qt::red), 45) << "the data line in the default data colour";
    EXPECT_EQ(qobject_cast<QProgressBar *>(dlg.control(mainwindow::kProgress))->value(), 0);
    EXPECT_TRUE(dlg.control(mainwindow::kStartAcquisition)->isEnabled());
    EXPECT_EQ(busy().acquiring, 0);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(AcquisitionWindowTest, EmptyCountFetchesFortyFive) {
    fetch(QString());
    EXPECT_EQ(edit(mainwindow::kDataCount)->text(), "45");
    EXPECT_EQ(g_samples.size(), 45u);
}

TEST_F(AcquisitionWindowTest, DetectEvmDuringATransferFailsItCleanly) {
    fetch(QStringLiteral("50"));
    ASSERT_EQ(g_samples.size(), 50u);

    // The board sends 30 of the 3000 items asked for and falls silent. The user's click lands
    // once the program holds all 30 (the progress bar shows 1 %), so no item is left on the line
    // for the new detection's probe to meet: the detection finds the board again. The read of
    // the 31st item, waiting on the transfer's thread, is given up for the detection.
    sim::Faults stops;
    stops.stopAfterItems = 30;
    board.setFaults(stops);
    bool clicked = false;
    // The transfer's board, as its panel holds it until the panel goes.
    QPointer<CEVMDialog> transferPanel = dlg.m_pPanel;
    auto *progress = qobject_cast<QProgressBar *>(dlg.control(mainwindow::kProgress));
    QObject::connect(progress, &QProgressBar::valueChanged, &dlg, [&](int percent) {
        if (percent >= 1 && !clicked) {
            clicked = true;
            // Through the event loop, which runs while the items come in.
            QTimer::singleShot(0, &dlg, [this] { clickDetect(); });
        }
    });
    fetch(QStringLiteral("3000"));

    ASSERT_TRUE(clicked);
    EXPECT_EQ(messages.texts(), QStringList{"Get item 30 failed !"});
    EXPECT_TRUE(g_samples.empty()) << "the detection reset the chart view; nothing was converted";
    EXPECT_EQ(edit(mainwindow::kDataCount)->text(), "45");
    EXPECT_NE(panel(), nullptr) << "the detection found the board again and made a new panel";
    EXPECT_EQ(portLabel(), QString::fromStdString(board.portPath()));
    EXPECT_NE(panel(), transferPanel.data());
    ASSERT_FALSE(transferPanel.isNull()) << "the replaced panel goes at the next DeferredDelete";
    EXPECT_EQ(transferPanel->board().busy().acquiring, 0) << "the failed transfer cleared its flag";
    EXPECT_FALSE(busy().any());
    EXPECT_TRUE(dlg.control(mainwindow::kStartAcquisition)->isEnabled());
}

// While the items come in on the transfer's thread, the board is the transfer's: a second
// "Start get ADC data", the panel's Read and an input scan are refused as before, and nothing
// of theirs reaches the board.
TEST_F(AcquisitionWindowTest, BusyFlagsRefuseWhatTheyRefusedDuringATransfer) {
    board.setPacing(sim::Pacing::Wire);
    dlg.OnInputScan();
    CScanDlg *scan = dlg.scanWindow();
    bool tried = false;
    auto *progress = qobject_cast<QProgressBar *>(dlg.control(mainwindow::kProgress));
    QObject::connect(progress, &QProgressBar::valueChanged, &dlg, [&](int percent) {
        if (tried || percent < 1)
            return;
        tried = true;
        EXPECT_TRUE(dlg.acquisition()->transferRunning());
        EXPECT_EQ(busy().acquiring, 1);
        const size_t frames = board.receivedFrames().size();
        dlg.acquisition()->OnStartAcquisition();
        panel()->OnRead();
        scan->OnRun();
        EXPECT_EQ(board.receivedFrames().size(), frames);
        EXPECT_FALSE(scan->running());
        EXPECT_TRUE(scan->stateLabel()->text().startsWith("Not started: an acquisition"))
            << scan->stateLabel()->text().toStdString();
    });
    fetch(QStringLiteral("3000"));

    ASSERT_TRUE(tried);
    EXPECT_EQ(g_samples, samplesSentByBoard());
    EXPECT_EQ(g_samples.size(), 3000u);
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(busy().acquiring, 0);
}

// Closing the window ends a one-shot acquisition at once and without a word: at 10 SPS the
// most items a request carries take nearly two hours, and no one is left to read a message.
TEST_F(AcquisitionWindowTest, ClosingTheWindowEndsALongAcquisitionQuietly) {
    board.setPacing(sim::Pacing::Real);
    // 10 SPS; the panel's refresh before the request reads it.
    board.setRegisterValue(vxc5480::kDrate, 0x23);
    dlg.show();
    constexpr int kHangGuardMs = 10000;
    // Should the close leave the transfer running, its read is given up here, so that the test
    // fails instead of waiting out the request.
    QTimer hangGuard;
    hangGuard.setSingleShot(true);
    hangGuard.setTimerType(Qt::PreciseTimer); // a coarse one may fire before the bound
    QObject::connect(&hangGuard, &QTimer::timeout, &dlg,
                     [this] { dlg.acquisition()->abortTransfer(); });
    QElapsedTimer sinceClose;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &dlg, [&] {
        if (board.sentItemBytes().empty())
            return;
        closer.stop();
        EXPECT_TRUE(dlg.acquisition()->transferRunning());
        hangGuard.start(kHangGuardMs);
        sinceClose.start();
        dlg.close();
    });
    closer.start(10);
    fetch(QString::number(kMaxItemsPerRequest));

    ASSERT_TRUE(sinceClose.isValid()) << "the board sent no item";
    const qint64 endedMs = sinceClose.elapsed();
    std::printf("window closed during a %d-item acquisition at 10 SPS: the acquisition ended "
                "%lld ms later\n",
                kMaxItemsPerRequest, static_cast<long long>(endedMs));
    EXPECT_LT(endedMs, kHangGuardMs);
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join(u'\n').toStdString();
    EXPECT_FALSE(dlg.acquisition()->transferRunning());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.currentBoard(), nullptr) << "the window let its board go";
}

TEST_F(AcquisitionWindowTest, ChosenColourShowsAtOnceAndDetectionRestoresTheDefault) {
    fetch(QStringLiteral("45"));
    const QColor chosen(10, 200, 250);
    platform::SetColorChooserAnswer([&](const QColor &) { return chosen; });

    QTest::mouseClick(dlg.controlAs<ColorSwatch>(mainwindow::kDataColor), Qt::LeftButton);
    EXPECT_GT(pixelsOf(chart(), chosen), 45);
    EXPECT_EQ(pixelsOf(chart(), Qt::red), 0);

    clickDetect();
    EXPECT_EQ(pixelsOf(chart(), chosen), 0);
    EXPECT_EQ(dlg.acquisition()->m_colors.m_dataColor, QColor(Qt::red));
}

TEST_F(AcquisitionWindowTest, SaveFileWritesBothFilesOfTheShownAcquisition) {
    fetch(QStringLiteral("3"));
    QTemporaryDir dir;
    const QString textPath = dir.filePath("run.txt");
    QStringList filters;
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &request) {
        filters = request.filters;
        return textPath;
    });

    QTest::mouseClick(dlg.control(mainwindow::kSaveFile), Qt::LeftButton);

    EXPECT_EQ(filters, (QStringList{"Normal text file(*.txt)", "All Format(*.*)"}));
    QFile raw(dir.filePath("run.bin"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const std::vector<uint8_t> sent = board.sentItemBytes();
    EXPECT_EQ(raw.readAll(), QByteArray(reinterpret_cast<const char *>(sent.data()),
                                        static_cast<qsizetype>(sent.size())));
    QFile text(textPath);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), FormatTextFile(g_samples));
    EXPECT_EQ(edit(mainwindow::kLogPath)->text(), textPath);
}

} // namespace
