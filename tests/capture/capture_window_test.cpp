// The "Continuous Capture..." window in the real main window with the real VXC5480 panel,
// against the counting virtual board: the busy rules while it runs, "Detect EVM" and closing
// the main window during a capture, and the accessibility walk.

#include "capture_file_reader.h"

#include "../app/panel_host_fixture.h"
#include "tests/support/accessibility_walk.h"

#include "analysis/reference_edit.h"
#include "capture/capture_dlg.h"
#include "capture/strip_chart.h"
#include "platform/question.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {
class CaptureWindowTest : public PanelHostTest {
  protected:
    void SetUp() override {
        sim::SignalModel counting;
        counting.counting = true;
        board.setSignal(counting);
        board.setPacing(sim::Pacing::None);
        PanelHostTest::SetUp();
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override {
        platform::SetQuestionAnswer({});
        PanelHostTest::TearDown();
    }
    CCaptureDlg *openCapture(const QString &name) {
        dlg.captureAction()->trigger();
        CCaptureDlg *window = dlg.captureWindow();
        window->pathEdit()->setText(m_dir.filePath(name));
        return window;
    }
    // Runs body from inside the capture (on its first event pump) and then starts it; returns
    // once the capture has ended.
    void whileCapturing(CCaptureDlg *window, const std::function<void()> &body) {
        bool ran = false;
        QTimer::singleShot(0, window, [&] {
            ASSERT_TRUE(window->running());
            body();
            ran = true;
        });
        QTest::mouseClick(window->startButton(), Qt::LeftButton);
        EXPECT_TRUE(ran);
    }
    QTemporaryDir m_dir;
};
} // namespace

TEST_F(CaptureWindowTest, EnabledOnlyWithAPanel) {
    EXPECT_FALSE(dlg.captureAction()->isEnabled());
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    EXPECT_TRUE(dlg.captureAction()->isEnabled());
}

TEST_F(CaptureWindowTest, BusyRulesAndDetectEvmWhileCapturing) {
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    CCaptureDlg *window = openCapture(QStringLiteral("busy.h5"));
    int dialogs = 0;
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &) {
        ++dialogs;
        return QString();
    });
    whileCapturing(window, [&] {
        EXPECT_EQ(g_acquiring, 1);
        const size_t framesBefore = board.receivedFrames().size();
        panel()->OnWrite();
        panel()->OnRead();
        QTest::mouseClick(dlg.control(mainwindow::kStartAcquisition), Qt::LeftButton);
        dlg.OnLoadProfile();
        dlg.OnSaveProfile();
        EXPECT_EQ(board.receivedFrames().size(), framesBefore) << "nothing but the capture talks";
        EXPECT_EQ(dialogs, 0);
        clickDetect(); // stops the capture first
    });
    EXPECT_EQ(window->lastResult().stoppedBy, "detect");
    EXPECT_FALSE(window->running());
    const CaptureFileContents file = ReadHdf5Capture(window->pathEdit()->text());
    EXPECT_EQ(file.text.at("stopped_by"), "detect");
    EXPECT_EQ(static_cast<int64_t>(file.codes.size()), window->lastResult().samples);
    EXPECT_TRUE(Consecutive(file.codes));

    // The detection follows; the rest of the block was taken off the line first, so the
    // handshake and the panel's start read get their own replies.
    board.clearReceivedFrames();
    QCoreApplication::processEvents();
    EXPECT_NE(panel(), nullptr);
    EXPECT_EQ(portLabel(), QString::fromStdString(board.portPath()));
    EXPECT_EQ(board.receivedFrames(), detectionAndStartRead());
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_EQ(g_acquiring, 0);
}

TEST_F(CaptureWindowTest, ClosingTheMainWindowAsksAndKeepsTheFile) {
    dlg.show();
    clickDetect();
    CCaptureDlg *window = openCapture(QStringLiteral("closing.csv"));
    window->formatList()->setCurrentIndex(1);
    QStringList questions;
    whileCapturing(window, [&] {
        platform::SetQuestionAnswer([&](const QString &text) {
            questions << text;
            return questions.size() > 1; // "No" first, then "Yes"
        });
        dlg.close();
        EXPECT_TRUE(window->running()) << "the user said No";
        dlg.close();
    });
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(window->lastResult().stoppedBy, "user");
    QCoreApplication::processEvents();
    EXPECT_FALSE(dlg.isVisible());
    const CaptureFileContents file = ReadCsvCapture(window->pathEdit()->text());
    EXPECT_EQ(file.text.at("stopped_by"), "user");
    EXPECT_TRUE(Consecutive(file.codes));
}

TEST_F(CaptureWindowTest, SettingsAreCheckedBeforeTheBoardIsTouched) {
    clickDetect();
    CCaptureDlg *window = openCapture(QStringLiteral("missing/run.h5"));
    board.clearReceivedFrames();
    QTest::mouseClick(window->startButton(), Qt::LeftButton);
    EXPECT_TRUE(window->stateLabel()->text().contains("No such folder"));
    window->pathEdit()->setText(m_dir.filePath(QStringLiteral("run.h5")));
    window->setStopRule(capture::StopRule::Duration);
    window->durationEdit()->setText(QStringLiteral("0:00:00"));
    QTest::mouseClick(window->startButton(), Qt::LeftButton);
    EXPECT_TRUE(window->stateLabel()->text().contains("duration"));
    EXPECT_TRUE(board.receivedFrames().empty());
}

// The reference starts at the chip's default, keeps within the chip's bounds (saying them), and
// what the user gives reaches the file with its source.
TEST_F(CaptureWindowTest, TheReferenceIsBoundedAndRecorded) {
    clickDetect();
    CCaptureDlg *window = openCapture(QStringLiteral("reference.h5"));
    ReferenceEdit *reference = window->referenceEdit();
    EXPECT_EQ(reference->text(), QStringLiteral("2.5"));
    reference->setText(QStringLiteral("2.7"));
    emit reference->editingFinished();
    EXPECT_TRUE(window->stateLabel()->text().contains(QStringLiteral("0.5 V to 2.6 V")))
        << window->stateLabel()->text().toStdString();
    EXPECT_EQ(reference->text(), QStringLiteral("2.5"));
    reference->setText(QStringLiteral("2.048"));
    emit reference->editingFinished();
    window->blockEdit()->setText(QStringLiteral("100"));
    window->setStopRule(capture::StopRule::Samples);
    window->samplesEdit()->setText(QStringLiteral("100"));
    QTest::mouseClick(window->startButton(), Qt::LeftButton);
    ASSERT_EQ(window->lastResult().samples, 100);
    const CaptureFileContents file = ReadHdf5Capture(window->pathEdit()->text());
    EXPECT_EQ(file.numbers.at("reference_volts"), 2.048);
    EXPECT_EQ(file.text.at("reference_source"), "given");
    const double gain = file.numbers.at("pga_gain");
    EXPECT_DOUBLE_EQ(file.numbers.at("volts_per_code"), 4 * 2.048 / gain / 16777216);
}

TEST_F(CaptureWindowTest, EveryControlAndValueIsReachable) {
    clickDetect();
    CCaptureDlg *window = openCapture(QStringLiteral("walk.h5"));
    window->show();
    const AccessibilityReport idle = WalkAccessibility(window);
    EXPECT_TRUE(idle.violations.isEmpty()) << idle.describe();
    EXPECT_GE(idle.checked, 20);
    window->setStopRule(capture::StopRule::Samples);
    window->samplesEdit()->setText(QStringLiteral("200000"));
    whileCapturing(window, [&] {
        window->refresh();
        const AccessibilityReport running = WalkAccessibility(window);
        EXPECT_TRUE(running.violations.isEmpty()) << running.describe();
        for (QLineEdit *readout : window->readouts()) {
            EXPECT_TRUE(readout->isReadOnly());
            EXPECT_FALSE(readout->text().isEmpty());
        }
    });
    EXPECT_EQ(window->lastResult().samples, 200000);
    EXPECT_EQ(window->readouts()[1]->text(), "200000");
}
