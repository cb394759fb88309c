// The "Continuous Capture..." window in the real main window with the real VXC5480 panel,
// against the counting virtual board at the wire's pace: the capture reads and writes on its own
// thread whatever the window's thread does (a message box held open), the busy rules while it
// runs, "Detect EVM" and closing the main window asking first, the figures moving, and the
// accessibility walk.

#include "capture_file_reader.h"

#include "../app/panel_host_fixture.h"
#include "tests/support/accessibility_walk.h"

#include "analysis/reference_edit.h"
#include "app/stream_guard.h"
#include "capture/capture_dlg.h"
#include "capture/strip_chart.h"
#include "chips/vxc5480/register_fields.h"
#include "platform/file_dialogs.h"
#include "platform/question.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

namespace {
// Runs the window's events until done() holds; false when the bound passed first.
bool WaitUntil(const std::function<bool()> &done) {
    const QDeadlineTimer deadline(kEventWaitLimitMs);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(5);
    return done();
}

class CaptureWindowTest : public PanelHostTest {
  protected:
    void SetUp() override {
        sim::SignalModel counting;
        counting.counting = true;
        board.setSignal(counting);
        board.setPacing(sim::Pacing::Wire);
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
    // Starts the capture and returns once the board has sent `items` items of it.
    void startCapture(CCaptureDlg *window, size_t items = 300) {
        QTest::mouseClick(window->startButton(), Qt::LeftButton);
        ASSERT_TRUE(window->running()) << window->stateLabel()->text().toStdString();
        ASSERT_TRUE(board.waitForSentItemBytes(items * 4, kEventWaitLimitMs));
    }
    size_t sentItems() const { return board.sentItemBytes().size() / 4; }
    // The frames the board took other than the capture's requests.
    size_t otherFrames() const {
        size_t n = 0;
        for (const BoardFrame &frame : board.receivedFrames())
            n += frame[2] != 0x0F;
        return n;
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

// The window's thread held in a message box (the platform's message hook, answered only once
// the board has sent another second of items): the capture goes on reading and writing
// meanwhile, and nothing is lost.
TEST_F(CaptureWindowTest, AMessageBoxLeftOpenDoesNotStallTheStream) {
    clickDetect();
    CCaptureDlg *window = openCapture(QStringLiteral("stall.csv"));
    window->formatList()->setCurrentIndex(1);
    startCapture(window);
    const QString path = window->filePath();
    qint64 sizeBefore = 0, sizeAfter = 0;
    size_t sentBefore = 0, sentAfter = 0;
    platform::MessageRecorder box([&](const platform::Message &) {
        // Nothing of the window runs in here: no event, no timer, no paint.
        sizeBefore = QFileInfo(path).size();
        sentBefore = sentItems();
        board.waitForSentItemBytes((sentBefore + 2880) * 4, kEventWaitLimitMs);
        const QDeadlineTimer deadline(kEventWaitLimitMs);
        while (QFileInfo(path).size() < sizeBefore + 2880 * 20 && !deadline.hasExpired())
            QThread::msleep(5);
        sizeAfter = QFileInfo(path).size();
        sentAfter = sentItems();
    });
    platform::ShowMessage(&dlg, QStringLiteral("Held open"), QStringLiteral("About"));
    EXPECT_GE(sentAfter, sentBefore + 2880);
    EXPECT_GE(sizeAfter, sizeBefore + 2880 * 20) << "the file grew while the box was open";

    window->OnStop();
    ASSERT_TRUE(WaitUntil([&] { return !window->running(); }));
    const capture::CaptureResult &result = window->lastResult();
    EXPECT_EQ(result.stoppedBy, "user");
    const CaptureFileContents file = ReadCsvCapture(path);
    EXPECT_TRUE(Consecutive(file.codes, 0));
    EXPECT_EQ(static_cast<int64_t>(file.codes.size()), result.samples);
    // A stream that waited for the box would show a gap of a second or more.
    EXPECT_LT(result.longestDeadSeconds, 0.5);
    EXPECT_EQ(box.messages().size(), 1u);
}

TEST_F(CaptureWindowTest, BusyRulesWhileCapturing) {
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    CCaptureDlg *window = openCapture(QStringLiteral("busy.h5"));
    int dialogs = 0;
    const QString profile = m_dir.filePath(QStringLiteral("during.ini"));
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &) {
        ++dialogs;
        return profile;
    });
    QStringList questions;
    platform::SetQuestionAnswer([&](const QString &text) {
        questions << text;
        return false;
    });
    startCapture(window);
    EXPECT_EQ(busy().acquiring, 1);
    // "Start get ADC data" cannot have the board now, and says why.
    QWidget *start = dlg.control(mainwindow::kStartAcquisition);
    EXPECT_FALSE(start->isEnabled());
    EXPECT_EQ(start->accessibleDescription(),
              QStringLiteral("Not now: a capture is writing %1.").arg(window->filePath()));
    const size_t framesBefore = otherFrames();
    panel()->OnWrite();
    panel()->OnRead();
    QTest::mouseClick(dlg.control(mainwindow::kStartAcquisition), Qt::LeftButton);
    dlg.OnSaveProfile();
    dlg.OnLoadProfile(); // asks; "No" leaves the capture alone
    dlg.OnUpdateFirmware();
    EXPECT_EQ(otherFrames(), framesBefore) << "nothing but the capture talks";
    EXPECT_EQ(dialogs, 1) << "Save Profile's own: a profile needs nothing of the board";
    EXPECT_GT(QFileInfo(profile).size(), 0);
    EXPECT_EQ(questions.size(), 2);
    EXPECT_TRUE(window->running());

    QTest::mouseClick(window->stopButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !window->running(); }));
    EXPECT_EQ(busy().acquiring, 0);
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(start->accessibleDescription().isEmpty());
    EXPECT_EQ(window->lastResult().stoppedBy, "user");
    const CaptureFileContents file = ReadHdf5Capture(window->pathEdit()->text());
    EXPECT_EQ(file.text.at("stopped_by"), "user");
    EXPECT_EQ(static_cast<int64_t>(file.codes.size()), window->lastResult().samples);
    EXPECT_TRUE(Consecutive(file.codes));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
}

// "Detect EVM" and closing the main window ask first, the capture reading on while the question
// is open. No: nothing changes. Yes: the capture stops (its file kept), and the detection or
// the close follows its end.
TEST_F(CaptureWindowTest, DetectAndCloseAskBeforeEndingTheCapture) {
    dlg.show();
    clickDetect();
    const struct {
        const char *name;
        bool detect;
        bool yes;
    } rows[] = {
        {"detect, no", true, false},
        {"detect, yes", true, true},
        {"close, no", false, false},
        {"close, yes", false, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(dlg.isVisible());
        ASSERT_NE(panel(), nullptr);
        CCaptureDlg *window = openCapture(QString::fromLatin1(row.name) + QStringLiteral(".h5"));
        startCapture(window);
        QStringList questions;
        size_t sentWhileAsked = 0;
        platform::SetQuestionAnswer([&](const QString &text) {
            questions << text;
            const size_t before = sentItems();
            board.waitForSentItemBytes((before + 1000) * 4, kEventWaitLimitMs);
            sentWhileAsked = sentItems() - before;
            return row.yes;
        });
        if (row.detect)
            clickDetect();
        else
            dlg.close();
        ASSERT_EQ(questions.size(), 1);
        EXPECT_EQ(
            questions[0],
            QStringLiteral("A capture is writing %1. Stop it?").arg(window->pathEdit()->text()));
        EXPECT_GE(sentWhileAsked, 1000u) << "the capture read on while the question was open";

        if (!row.yes) {
            const size_t sent = sentItems();
            EXPECT_TRUE(window->running());
            ASSERT_TRUE(board.waitForSentItemBytes((sent + 300) * 4, kEventWaitLimitMs));
            EXPECT_TRUE(window->running());
            EXPECT_TRUE(dlg.isVisible());
            window->OnStop();
            ASSERT_TRUE(WaitUntil([&] { return !window->running(); }));
            EXPECT_EQ(window->lastResult().stoppedBy, "user");
            QCoreApplication::processEvents();
            EXPECT_FALSE(dlg.streamGuard()->waiting()) << "No leaves nothing to do after the end";
            continue;
        }
        const TZ410Dlg *before = panel();
        board.clearReceivedFrames();
        if (row.detect) {
            ASSERT_TRUE(
                WaitUntil([&] { return !window->running() && panel() && panel() != before; }));
            EXPECT_EQ(window->lastResult().stoppedBy, "detect");
            // The rest of the block was read off the line before the detection: its handshake
            // and the new panel's start read got their own replies.
            EXPECT_EQ(board.receivedFrames(), detectionAndStartRead());
            EXPECT_EQ(portLabel(), QString::fromStdString(board.portPath()));
        } else {
            ASSERT_TRUE(WaitUntil([&] { return !window->running() && !dlg.isVisible(); }));
            EXPECT_EQ(window->lastResult().stoppedBy, "user");
        }
        const CaptureFileContents file = ReadHdf5Capture(window->pathEdit()->text());
        EXPECT_EQ(file.text.at("stopped_by"), row.detect ? "detect" : "user");
        EXPECT_TRUE(Consecutive(file.codes));
        // The board found again is free; a closed window drives none.
        if (row.detect) {
            ASSERT_NE(dlg.currentBoard(), nullptr);
            EXPECT_FALSE(busy().any());
        } else {
            EXPECT_EQ(dlg.currentBoard(), nullptr);
        }
        EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    }
}

TEST_F(CaptureWindowTest, SettingsAreCheckedBeforeTheBoardIsTouched) {
    clickDetect();
    CCaptureDlg *window = openCapture(QStringLiteral("missing/run.h5"));
    board.clearReceivedFrames();
    QTest::mouseClick(window->startButton(), Qt::LeftButton);
    EXPECT_TRUE(window->stateLabel()->text().contains("No such folder"));
    window->pathEdit()->setText(m_dir.filePath(QStringLiteral("run.h5")));
    window->blockEdit()->setText(QStringLiteral("0"));
    QTest::mouseClick(window->startButton(), Qt::LeftButton);
    EXPECT_TRUE(window->stateLabel()->text().contains("block size"));
    window->blockEdit()->setText(QStringLiteral("auto"));
    window->setStopRule(capture::StopRule::Duration);
    window->durationEdit()->setText(QStringLiteral("0:00:00"));
    QTest::mouseClick(window->startButton(), Qt::LeftButton);
    EXPECT_TRUE(window->stateLabel()->text().contains("duration"));
    EXPECT_TRUE(board.receivedFrames().empty());
    EXPECT_FALSE(window->running());
}

// The name's suffix follows the format chosen and the format a suffix typed or browsed; the
// state line names the file Start will write, and during a split run the file being written.
TEST_F(CaptureWindowTest, TheNameFollowsTheFormatAndTheStateLineTheFile) {
    clickDetect();
    dlg.captureAction()->trigger();
    CCaptureDlg *window = dlg.captureWindow();
    const QString state = window->stateLabel()->text();
    EXPECT_TRUE(state.startsWith("Choose a file")) << state.toStdString();
    const QString h5 = m_dir.filePath(QStringLiteral("run.h5"));
    const QString csv = m_dir.filePath(QStringLiteral("run.csv"));
    window->pathEdit()->setText(h5);
    EXPECT_EQ(window->stateLabel()->text(),
              QStringLiteral("Press Start to capture to %1.").arg(h5));
    window->formatList()->setCurrentIndex(1);
    EXPECT_EQ(window->pathEdit()->text(), csv);
    window->formatList()->setCurrentIndex(0);
    EXPECT_EQ(window->pathEdit()->text(), h5);
    window->pathEdit()->setText(m_dir.filePath(QStringLiteral("typed.CSV")));
    emit window->pathEdit()->editingFinished();
    EXPECT_EQ(window->formatList()->currentIndex(), 1);
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &) { return h5; });
    window->OnBrowse();
    EXPECT_EQ(window->formatList()->currentIndex(), 0);
    EXPECT_EQ(window->pathEdit()->text(), h5);

    window->splitCheck()->setChecked(true);
    window->splitEdit()->setText(QStringLiteral("0:00:01"));
    QTest::mouseClick(window->startButton(), Qt::LeftButton);
    ASSERT_TRUE(window->running()) << window->stateLabel()->text().toStdString();
    EXPECT_TRUE(window->stateLabel()->text().contains(m_dir.filePath("run_0001.h5")));
    ASSERT_TRUE(WaitUntil([&] {
        return window->stateLabel()->text().contains(m_dir.filePath("run_0002.h5"));
    })) << window->stateLabel()->text().toStdString();
    window->OnStop();
    ASSERT_TRUE(WaitUntil([&] { return !window->running(); }));
    EXPECT_GE(window->lastResult().files, 2);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
}

// Files a run would write over are offered for replacing, a leftover numbered part of a split
// name among them; No leaves them untouched and the board alone, Yes captures over them.
TEST_F(CaptureWindowTest, AnExistingFileIsReplacedOnlyWhenTheUserSaysYes) {
    clickDetect();
    const struct {
        const char *name;
        const char *existing; // the file already there
        bool split;
        bool yes;
    } rows[] = {
        {"one file, No", "one.h5", false, false},
        {"one file, Yes", "one.h5", false, true},
        {"a split's leftover part, No", "part_0002.h5", true, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString existing = m_dir.filePath(QString::fromLatin1(row.existing));
        QFile old(existing);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("kept");
        old.close();
        const QString path = row.split ? m_dir.filePath(QStringLiteral("part.h5")) : existing;
        CCaptureDlg *window = openCapture(QFileInfo(path).fileName());
        window->splitCheck()->setChecked(row.split);
        window->blockEdit()->setText(QStringLiteral("100"));
        window->setStopRule(capture::StopRule::Samples);
        window->samplesEdit()->setText(QStringLiteral("100"));
        QStringList questions;
        platform::SetQuestionAnswer([&](const QString &text) {
            questions << text;
            return row.yes;
        });
        board.clearReceivedFrames();

        QTest::mouseClick(window->startButton(), Qt::LeftButton);

        ASSERT_EQ(questions.size(), 1);
        EXPECT_TRUE(questions[0].contains(existing)) << questions[0].toStdString();
        EXPECT_TRUE(questions[0].endsWith("Replace it?")) << questions[0].toStdString();
        if (!row.yes) {
            EXPECT_FALSE(window->running());
            EXPECT_TRUE(board.receivedFrames().empty());
            EXPECT_TRUE(window->stateLabel()->text().startsWith("Not started"));
            EXPECT_EQ(QFileInfo(existing).size(), 4);
            continue;
        }
        ASSERT_TRUE(WaitUntil([&] { return !window->running(); }));
        EXPECT_EQ(window->lastResult().samples, 100);
        EXPECT_EQ(ReadHdf5Capture(existing).codes.size(), 100u);
    }
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
}

// An input beyond the range: every sample sits at the code limit, and the window counts them,
// marked, as the noise window does.
TEST_F(CaptureWindowTest, ClippedSamplesAreCountedAndMarked) {
    sim::SignalModel beyond = sim::DefaultSignal(sim::Chip::VXC5480);
    beyond.inputVolts[0] = 20.0; // AIN0-AIN1 at gain 1 spans +-5 V
    board.setSignal(beyond);
    clickDetect();
    CCaptureDlg *window = openCapture(QStringLiteral("clipped.h5"));
    QLineEdit *clipped = window->readouts().back();
    EXPECT_EQ(clipped->text(), "0");
    window->blockEdit()->setText(QStringLiteral("100"));
    window->setStopRule(capture::StopRule::Samples);
    window->samplesEdit()->setText(QStringLiteral("200"));
    QTest::mouseClick(window->startButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !window->running(); }));
    EXPECT_EQ(window->lastResult().clippedSamples, 200);
    EXPECT_EQ(clipped->text(), "200 (100.00 % of the samples written)");
    EXPECT_FALSE(clipped->accessibleDescription().isEmpty());
    EXPECT_NE(clipped->palette().color(QPalette::Text), window->palette().color(QPalette::Text));
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
    ASSERT_TRUE(WaitUntil([&] { return !window->running(); }));
    ASSERT_EQ(window->lastResult().samples, 100);
    const CaptureFileContents file = ReadHdf5Capture(window->pathEdit()->text());
    EXPECT_EQ(file.numbers.at("reference_volts"), 2.048);
    EXPECT_EQ(file.text.at("reference_source"), "given");
    const double gain = file.numbers.at("pga_gain");
    EXPECT_DOUBLE_EQ(file.numbers.at("volts_per_code"), 4 * 2.048 / gain / 16777216);
}

// While it runs every control and value is reachable, the figures move between blocks (the
// samples written are seen in the middle of a block), and the line says why fewer samples
// arrive than the panel's 30000 SPS.
TEST_F(CaptureWindowTest, EveryControlAndValueIsReachableAndTheFiguresMove) {
    clickDetect();
    CCaptureDlg *window = openCapture(QStringLiteral("walk.h5"));
    window->show();
    const AccessibilityReport idle = WalkAccessibility(window);
    EXPECT_TRUE(idle.violations.isEmpty()) << idle.describe();
    EXPECT_GE(idle.checked, 20);
    QLineEdit *written = window->readouts()[1];
    startCapture(window);
    ASSERT_TRUE(WaitUntil([&] { return written->text().toLongLong() > 0; }));
    const AccessibilityReport running = WalkAccessibility(window);
    EXPECT_TRUE(running.violations.isEmpty()) << running.describe();
    for (QLineEdit *readout : window->readouts()) {
        EXPECT_TRUE(readout->isReadOnly());
        EXPECT_FALSE(readout->text().isEmpty());
    }
    EXPECT_TRUE(window->wireNote()->isVisible());
    EXPECT_TRUE(window->wireNote()->text().contains("2880"));
    bool midBlock = false; // a count no whole number of 2880-item blocks makes
    ASSERT_TRUE(WaitUntil([&] {
        midBlock = midBlock || written->text().toLongLong() % 2880 != 0;
        return midBlock && written->text().toLongLong() > 2880;
    }));
    window->OnStop();
    ASSERT_TRUE(WaitUntil([&] { return !window->running(); }));
    EXPECT_EQ(written->text(), QString::number(window->lastResult().samples));
    EXPECT_GT(window->refreshes(), 0);
}

namespace {
// A USB bridge that resets in the middle of a capture: the window says the board is lost, waits
// for it (on by default), brings the chip back as it was (the rate set before the capture) and
// goes on in the same file, the gap recorded and counted in the readouts.
TEST_F(CaptureWindowTest, ALostBoardIsWaitedForAndTheCaptureGoesOn) {
    board.setRegisterValue(vxc5480::kDrate, 0xA1);
    dlg.setPortSearch({{QString::fromStdString(board.linkPath())}, false});
    clickDetect();
    CCaptureDlg *window = openCapture(QStringLiteral("lost.h5"));
    EXPECT_TRUE(window->reconnectCheck()->isChecked());
    EXPECT_EQ(window->reconnectEdit()->text(), QStringLiteral("0:10:00"));
    window->setStopRule(capture::StopRule::Duration);
    window->durationEdit()->setText(QStringLiteral("0:00:04"));
    startCapture(window);
    board.unplug(std::chrono::milliseconds(1000), true);
    ASSERT_TRUE(WaitUntil(
        [&] { return window->stateLabel()->text().startsWith(QStringLiteral("Board lost at")); }));
    ASSERT_TRUE(WaitUntil([&] { return !window->running(); }));
    const capture::CaptureResult &result = window->lastResult();
    EXPECT_EQ(result.status, capture::CaptureStatus::Ok) << result.stoppedBy.toStdString();
    ASSERT_EQ(result.losses.size(), 1u);
    EXPECT_TRUE(window->readouts()[9]->text().startsWith(QStringLiteral("1 (")))
        << window->readouts()[9]->text().toStdString();
    EXPECT_EQ(board.registerValue(vxc5480::kDrate), 0xA1);
    const CaptureFileContents file = ReadHdf5Capture(m_dir.filePath(QStringLiteral("lost.h5")));
    EXPECT_EQ(file.codes.size(), static_cast<size_t>(result.samples));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
}
} // namespace

namespace {
// A board that does not come back in time ends the capture; the main window then says the board
// is lost, and the panel refuses its exchanges with the reason instead of timing out on them.
TEST_F(CaptureWindowTest, ABoardNotBackInTimeIsLostForThePanelToo) {
    dlg.setPortSearch({{QString::fromStdString(board.linkPath())}, false});
    clickDetect();
    CCaptureDlg *window = openCapture(QStringLiteral("gone.h5"));
    window->reconnectEdit()->setText(QStringLiteral("0:00:01"));
    startCapture(window);
    board.unplug(std::chrono::milliseconds(5000), false);
    ASSERT_TRUE(WaitUntil([&] { return !window->running(); }));
    EXPECT_EQ(window->lastResult().status, capture::CaptureStatus::Exchange);
    EXPECT_EQ(portLabel(), QString::fromStdString(board.linkPath()) + QStringLiteral(" (lost)"));
    messages.clear();
    uint8_t image[11] = {};
    EXPECT_NE(panel()->board().readRange(nullptr, image, 11), 0);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().front().startsWith(QStringLiteral("The board was lost (")))
        << messages.texts().front().toStdString();
    board.waitPluggedIn(kEventWaitLimitMs);
}
} // namespace
