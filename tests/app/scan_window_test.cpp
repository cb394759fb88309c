// The "Input Scan" window from the main window's "&Analysis" menu, with the real panels against
// the virtual board: a scan fills the table a screen reader reads, puts MUX back and leaves
// the panel showing the chip's state; while it runs, the board is the scan's.

#include "panel_host_fixture.h"

#include "../scan/scan_board.h"
#include "analysis/analysis_dlg.h"
#include "analysis/reference_edit.h"
#include "capture/capture_dlg.h"
#include "chips/vxc5480/register_fields.h"
#include "panel_2ch/tz420_dlg.h"
#include "panel_8ch/tz410_mux_dlg.h"
#include "platform/file_dialogs.h"
#include "platform/question.h"
#include "platform/save_folder.h"
#include "scan/scan_bar_plot.h"
#include "scan/scan_dlg.h"
#include "scan/scan_table.h"
#include "tests/support/accessibility_walk.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

class ScanWindowTest : public PanelHostTest {
  protected:
    explicit ScanWindowTest(sim::Chip chip = sim::Chip::VXC5480) : PanelHostTest(chip) {}
    void SetUp() override {
        PanelHostTest::SetUp();
        board.setPacing(sim::Pacing::None);
    }

    QAction *analysisEntry(const QString &text) const {
        for (QAction *top : dlg.commandMenuBar()->actions()) {
            if (top->text() == QLatin1String("&Analysis") && top->menu()) {
                for (QAction *action : top->menu()->actions())
                    if (QString(action->text()).remove(u'&') == text)
                        return action;
            }
        }
        return nullptr;
    }
    // Run, then the events until the scan has ended.
    static void runScan(CScanDlg *scan) {
        QSignalSpy finished(scan, &CScanDlg::finished);
        QTest::mouseClick(scan->runButton(), Qt::LeftButton);
        ASSERT_TRUE(finished.count() > 0 || finished.wait(kEventWaitLimitMs));
        EXPECT_FALSE(scan->running());
    }
    CScanDlg *openScan() {
        analysisEntry(QStringLiteral("Input Scan..."))->trigger();
        CScanDlg *scan = dlg.scanWindow();
        scan->countSpin()->setValue(100);
        return scan;
    }
    // Each cell's text as a screen reader reads it from the table.
    static void expectCellsReadable(QTableWidget *table) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(table);
        ASSERT_NE(iface, nullptr);
        QAccessibleTableInterface *cells = iface->tableInterface();
        ASSERT_NE(cells, nullptr);
        for (int r = 0; r < table->rowCount(); ++r) {
            for (int c = 0; c < table->columnCount(); ++c) {
                QAccessibleInterface *cell = cells->cellAt(r, c);
                ASSERT_NE(cell, nullptr);
                EXPECT_EQ(cell->text(QAccessible::Name), table->item(r, c)->text())
                    << r << ", " << c;
            }
        }
    }
    // A cell of volts as shown ("2.50 V", "512 nV") in volts.
    static double shownVolts(const QString &text) {
        const QStringList parts = text.split(u' ');
        const QHash<QString, double> units{{QStringLiteral("nV"), 1e-9},
                                           {QStringLiteral("\u00B5V"), 1e-6},
                                           {QStringLiteral("mV"), 1e-3},
                                           {QStringLiteral("V"), 1.0}};
        EXPECT_EQ(parts.size(), 2) << text.toStdString();
        EXPECT_TRUE(units.contains(parts.last())) << text.toStdString();
        return parts.first().toDouble() * units.value(parts.last());
    }
    // Every row's mean in volts, as shown, against what its input sees on the board.
    void expectInputVolts(CScanDlg *scan) const {
        const std::vector<scan::ScanRow> &rows = scan->lastOutcome().rows;
        ASSERT_EQ(scan->table()->rowCount(), int(rows.size()));
        for (int r = 0; r < int(rows.size()); ++r) {
            const double expected = scantest::InputVolts(board.chip(), rows[size_t(r)].input);
            const QString shown = scan->table()->item(r, scan::kMeanVoltsColumn)->text();
            EXPECT_NEAR(shownVolts(shown), expected, 0.01 * std::abs(expected) + 20e-6)
                << scan->table()->item(r, scan::kInputColumn)->text().toStdString();
        }
    }
    static void expectAccessible(CScanDlg *scan) {
        const AccessibilityReport report = WalkAccessibility(scan);
        EXPECT_TRUE(report.violations.isEmpty()) << report.describe();
        EXPECT_GT(report.checked, 8);
    }
};

TEST_F(ScanWindowTest, EntryFollowsTheOtherAnalysisEntriesAndThePanel) {
    QAction *noise = analysisEntry(QStringLiteral("Noise and Spectrum..."));
    QAction *scan = analysisEntry(QStringLiteral("Input Scan..."));
    ASSERT_NE(noise, nullptr);
    ASSERT_NE(scan, nullptr);
    const QList<QAction *> entries = qobject_cast<QMenu *>(noise->parent())->actions();
    EXPECT_EQ(entries.back(), scan);
    EXPECT_FALSE(scan->isEnabled());
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    EXPECT_TRUE(scan->isEnabled());
}

TEST_F(ScanWindowTest, ScanFillsTheTablePutsMuxBackAndThePanelShowsIt) {
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    CScanDlg *scan = openScan();
    EXPECT_TRUE(scan->isVisible());
    EXPECT_FALSE(scan->isModal());
    expectAccessible(scan);
    // The chip's MUX changes behind the panel's back: after the scan the panel shows the truth.
    board.setRegisterValue(vxc5480::kMux, 0x67);
    EXPECT_EQ(scan->tickedInputs().size(), 8u); // single-ended is the first choice

    runScan(scan);

    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
    ASSERT_EQ(scan->table()->rowCount(), 8);
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < scan::kScanColumnCount; ++c)
            EXPECT_FALSE(scan->table()->item(r, c)->text().isEmpty()) << r << ", " << c;
    }
    EXPECT_EQ(scan->table()->item(3, scan::kInputColumn)->text(), "AIN3-AINCOM");
    expectInputVolts(scan);
    expectCellsReadable(scan->table());
    EXPECT_EQ(scan->plot()->values().size(), 8u);
    // The bars' axis in the unit its largest bar reads in with three digits.
    EXPECT_TRUE(QStringList({"nV", "\u00B5V", "mV", "V"}).contains(scan->plot()->unit()))
        << scan->plot()->unit().toStdString();
    const double largest =
        *std::max_element(scan->plot()->values().begin(), scan->plot()->values().end());
    EXPECT_GE(largest, 1.0);
    EXPECT_LT(largest, 1000.0);
    EXPECT_TRUE(scan->stateLabel()->text().startsWith("Scan finished: 8 inputs."))
        << scan->stateLabel()->text().toStdString();
    EXPECT_EQ(board.registerValue(vxc5480::kMux), 0x67);
    EXPECT_EQ(panel()->m_current[vxc5480::kMux], 0x67);
    EXPECT_EQ(busy().acquiring, 0);
    expectAccessible(scan);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scan.csv"));
    ASSERT_TRUE(scan->ExportTo(path));
    QFile csv(path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().count('\n'), 1 + 8);
}

// What the panel shows is what "Write" sends, before and after a scan. A choice never written
// (AIN3 as AIN+) survives a scan that put MUX back; when the chip was not as the panel knew it,
// the panel shows the chip, gives the choice up and the scan's state line says so.
TEST_F(ScanWindowTest, TheMuxChoiceShownIsTheOneWriteSendsAfterAScan) {
    const struct {
        const char *name;
        int movedBehind; // the chip's MUX set behind the panel's back; -1: left as it knew it
    } rows[] = {{"chip as the panel knew it", -1}, {"chip moved behind the panel", 0x67}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        board.setRegisterValue(vxc5480::kMux, 0x01); // AIN0-AIN1
        clickDetect();
        TZ410Dlg *host = panel();
        ASSERT_NE(host, nullptr);
        const uint8_t known = 0x01;
        QTest::mouseClick(host->m_muxPage->control(TZ410MUXDlg::kFirstPosId + 3), Qt::LeftButton);
        ASSERT_EQ(host->m_pending[vxc5480::kMux], vxc5480::MuxByte(3, 1));
        if (row.movedBehind >= 0)
            board.setRegisterValue(vxc5480::kMux, uint8_t(row.movedBehind));
        CScanDlg *scan = openScan();
        scan->chooseInputSet(CScanDlg::InputSet::Pairs);

        runScan(scan);

        const uint8_t chip = row.movedBehind >= 0 ? uint8_t(row.movedBehind) : known;
        EXPECT_EQ(board.registerValue(vxc5480::kMux), chip) << "MUX put back";
        const int shownPositive = host->m_muxPage->m_ainPosId - TZ410MUXDlg::kFirstPosId;
        const int shownNegative = host->m_muxPage->m_ainNegId - TZ410MUXDlg::kFirstNegId;
        const uint8_t shown = vxc5480::MuxByte(shownPositive, shownNegative);
        EXPECT_TRUE(
            host->m_muxPage->controlAs<QRadioButton>(host->m_muxPage->m_ainPosId)->isChecked());
        EXPECT_EQ(shown, row.movedBehind >= 0 ? chip : vxc5480::MuxByte(3, 1));
        EXPECT_EQ(host->m_pending[vxc5480::kMux], shown);
        EXPECT_EQ(scan->stateLabel()->text().contains("gave up its unwritten choices"),
                  row.movedBehind >= 0)
            << scan->stateLabel()->text().toStdString();

        // Only the gain changes, then Write on the MUX tab: the chip gets the MUX shown.
        auto *gain = qobject_cast<QComboBox *>(host->control(TZ410Dlg::kPgaList));
        gain->setCurrentIndex(gain->findText(QStringLiteral("16")));
        emit gain->activated(gain->currentIndex());
        qobject_cast<QTabBar *>(host->control(TZ410Dlg::kTabControl))
            ->setCurrentIndex(vxc5480::kTabMux);
        QTest::mouseClick(host->control(TZ410Dlg::kWriteButton), Qt::LeftButton);
        EXPECT_EQ(board.registerValue(vxc5480::kMux), shown);
        EXPECT_EQ(host->m_muxPage->m_ainPosId - TZ410MUXDlg::kFirstPosId, shownPositive);
        EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
    }
}

// Before any Run the gain shown is the chip's, following the panel's writes. Run while a
// capture writes is refused before anything is cleared: the last table and its Export stay,
// and the state line names the capture's file.
TEST_F(ScanWindowTest, RunDuringACaptureKeepsTheTableAndNamesTheCapture) {
    clickDetect();
    TZ410Dlg *host = panel();
    ASSERT_NE(host, nullptr);
    CScanDlg *scan = openScan();
    EXPECT_EQ(scan->gainEdit()->text(), "1");
    auto *gain = qobject_cast<QComboBox *>(host->control(TZ410Dlg::kPgaList));
    gain->setCurrentIndex(gain->findText(QStringLiteral("16")));
    emit gain->activated(gain->currentIndex());
    EXPECT_EQ(scan->gainEdit()->text(), "1") << "chosen, not written";
    QTest::mouseClick(host->control(TZ410Dlg::kWriteButton), Qt::LeftButton);
    EXPECT_EQ(scan->gainEdit()->text(), "16");

    runScan(scan);
    const int rows = scan->table()->rowCount();
    ASSERT_GT(rows, 0);
    const QString firstMean = scan->table()->item(0, scan::kMeanCodesColumn)->text();
    ASSERT_TRUE(scan->exportButton()->isEnabled());

    QTemporaryDir dir;
    dlg.OnContinuousCapture();
    CCaptureDlg *capture = dlg.captureWindow();
    capture->pathEdit()->setText(dir.filePath(QStringLiteral("held.h5")));
    QTest::mouseClick(capture->startButton(), Qt::LeftButton);
    ASSERT_TRUE(capture->running()) << capture->stateLabel()->text().toStdString();

    QTest::mouseClick(scan->runButton(), Qt::LeftButton);

    EXPECT_FALSE(scan->running());
    EXPECT_TRUE(scan->stateLabel()->text().startsWith(
        QStringLiteral("Not started: a capture is writing %1.").arg(capture->filePath())))
        << scan->stateLabel()->text().toStdString();
    EXPECT_EQ(scan->table()->rowCount(), rows);
    EXPECT_EQ(scan->table()->item(0, scan::kMeanCodesColumn)->text(), firstMean);
    EXPECT_TRUE(scan->exportButton()->isEnabled());

    capture->OnStop();
    QTRY_VERIFY_WITH_TIMEOUT(!capture->running(), kEventWaitLimitMs);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
}

// One folder for every data file of the run: the scan's export, the capture's Browse and the
// noise window's export each propose the folder last picked in any of them, starting from the
// main window's data folder; the capture window keeps its settings when closed and reopened.
TEST_F(ScanWindowTest, ExportsAndTheCaptureShareTheRunsDataFolder) {
    QTemporaryDir dir;
    const QString start = dir.filePath(QStringLiteral("start")) + u'/';
    g_saveFolder = start;
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    CScanDlg *scan = openScan();
    runScan(scan);
    ASSERT_TRUE(scan->exportButton()->isEnabled());
    dlg.OnNoiseAndSpectrum();
    dlg.analysisWindow()->OnSamplesAcquired({1, 2, 3}, {});
    dlg.OnContinuousCapture();

    QString proposal, answer;
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &request) {
        proposal = request.proposedPath;
        return answer;
    });
    const struct {
        std::function<void()> choose;
        const char *picked;
    } steps[] = {
        {[&] { scan->OnExport(); }, "scans/inputs.csv"},
        {[&] { dlg.captureWindow()->OnBrowse(); }, "captures/run.h5"},
        {[&] { dlg.analysisWindow()->OnExport(); }, "noise/record.csv"},
        {[&] { scan->OnExport(); }, "scans/again.csv"},
    };
    QString expectedFolder = start;
    for (const auto &step : steps) {
        answer = dir.filePath(QString::fromLatin1(step.picked));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(answer).path()));
        step.choose();
        EXPECT_EQ(QFileInfo(proposal).path() + u'/', expectedFolder) << step.picked;
        expectedFolder = QFileInfo(answer).path() + u'/';
        EXPECT_EQ(g_saveFolder, expectedFolder) << step.picked;
    }
    platform::SetFileDialogAnswer({});
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();

    // The capture window lives for the run: closed and opened again, it keeps its settings.
    CCaptureDlg *capture = dlg.captureWindow();
    capture->durationEdit()->setText(QStringLiteral("0:10:00"));
    capture->close();
    dlg.OnContinuousCapture();
    EXPECT_EQ(dlg.captureWindow(), capture);
    EXPECT_EQ(capture->pathEdit()->text(), dir.filePath(QStringLiteral("captures/run.h5")));
    EXPECT_EQ(capture->durationEdit()->text(), QStringLiteral("0:10:00"));
}

// While the scan runs the board is its own: "Start get ADC data" does nothing, and "Detect
// EVM" asks, then ends the scan after the input in flight, puts MUX back, and then detects. The
// scan runs on its own thread whatever the window does: at the wire's pace, twenty passes over the
// inputs (about six seconds) are sure to be under way when the click lands.
TEST_F(ScanWindowTest, DetectEvmWaitsForTheScanToPutMuxBack) {
    board.setPacing(sim::Pacing::Wire);
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    CScanDlg *scan = openScan();
    constexpr int kPasses = 20;
    scan->repeatsSpin()->setValue(kPasses);
    board.setRegisterValue(vxc5480::kMux, 0x76); // no input of the scan
    QStringList questions;
    platform::SetQuestionAnswer([&](const QString &text) {
        questions << text;
        return true;
    });
    bool clicked = false;
    QString progressRead;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &dlg, [&] {
        QTableWidgetItem *first = scan->table()->item(0, scan::kMeanCodesColumn);
        if (clicked || !first || first->text().isEmpty())
            return;
        clicked = true;
        progressRead = AccessibleNameOf(scan->progressLabel());
        EXPECT_EQ(busy().acquiring, 1);
        QTest::mouseClick(dlg.control(mainwindow::kStartAcquisition), Qt::LeftButton);
        clickDetect();
    });
    watch.start(0);
    // The detection's frames are those after the scan's end.
    size_t framesOfTheScan = 0;
    QObject::connect(scan, &CScanDlg::finished, &dlg,
                     [&] { framesOfTheScan = board.receivedFrames().size(); });
    runScan(scan);
    watch.stop();
    platform::SetQuestionAnswer({});

    ASSERT_TRUE(clicked);
    EXPECT_EQ(questions, QStringList{QStringLiteral("An input scan is running. Stop it?")});
    EXPECT_TRUE(progressRead.startsWith(QStringLiteral("Progress: input ")))
        << progressRead.toStdString();
    EXPECT_TRUE(scan->lastOutcome().stopped);
    size_t measured = 0;
    for (const scan::ScanRow &row : scan->lastOutcome().rows)
        measured += row.repeats.size();
    EXPECT_GE(measured, 1u);
    EXPECT_LT(measured, 8u * kPasses);
    EXPECT_EQ(scan->lastOutcome().putBack, scan::MuxPutBack::Done);
    EXPECT_EQ(board.registerValue(vxc5480::kMux), 0x76);
    const BoardFrames scanFrames = board.receivedFrames();
    // No acquisition of the main window's 45 items was asked for.
    for (size_t i = 0; i < framesOfTheScan; ++i)
        EXPECT_FALSE(scanFrames[i][2] == 0x0F && scanFrames[i][4] == 45);
    // The detection runs once the scan has ended.
    QTRY_VERIFY_WITH_TIMEOUT(board.receivedFrames().size() > framesOfTheScan && panel() != nullptr,
                             kEventWaitLimitMs);
    EXPECT_EQ(board.receivedFrames()[framesOfTheScan], frameOf(0xF0, 0));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
}

// The scan reads on a thread of its own: a modal dialog opened as the first input is measured
// stays up until the board has sent every item of every input, the program has taken them off
// the line and the scan has put MUX back and ended. At the wire's pace, about a second.
TEST_F(ScanWindowTest, AModalDialogDoesNotStallTheScan) {
    board.setPacing(sim::Pacing::Wire);
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    CScanDlg *scan = openScan();
    scan->chooseInputSet(CScanDlg::InputSet::Pairs);
    scan->countSpin()->setValue(1000);
    board.setRegisterValue(vxc5480::kMux, 0x76);
    const size_t items = scan->tickedInputs().size() * size_t(1000 + scan->discardSpin()->value());
    board.clearSentItemBytes();
    bool opened = false;
    bool endedWhileOpen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &dlg, [&] {
        if (opened || board.sentItemBytes().empty())
            return;
        opened = true;
        QDialog box(&dlg);
        QTimer whileOpen;
        QObject::connect(&whileOpen, &QTimer::timeout, &box, [&] {
            if (!scan->running() && board.sentItemBytes().size() == items * 4 && board.idle()) {
                endedWhileOpen = true;
                box.accept();
            }
        });
        whileOpen.start(5);
        QTimer::singleShot(kEventWaitLimitMs, &box, &QDialog::reject);
        box.exec();
    });
    watch.start(1);
    runScan(scan);
    QTRY_VERIFY_WITH_TIMEOUT(opened && QApplication::activeModalWidget() == nullptr,
                             kEventWaitLimitMs);
    watch.stop();

    EXPECT_TRUE(endedWhileOpen);
    EXPECT_TRUE(scan->lastOutcome().complete());
    EXPECT_EQ(scan->lastOutcome().putBack, scan::MuxPutBack::Done);
    EXPECT_EQ(board.registerValue(vxc5480::kMux), 0x76);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
}

TEST_F(ScanWindowTest, AFailedSwitchKeepsTheRowsMeasuredAndSaysSo) {
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    CScanDlg *scan = openScan();
    scan->chooseInputSet(CScanDlg::InputSet::Pairs);
    board.setRegisterValue(vxc5480::kMux, 0x08);
    sim::Faults faults;
    faults.failingWrite = 2; // the switch to the third pair
    faults.failingWriteStatus = 2;
    board.setFaults(faults);

    runScan(scan);

    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Write Register Address 01 Failed !");
    EXPECT_EQ(messages.messages()[0].owner, scan);
    EXPECT_FALSE(scan->table()->item(1, scan::kMeanCodesColumn)->text().isEmpty());
    EXPECT_TRUE(scan->table()->item(2, scan::kMeanCodesColumn)->text().isEmpty());
    EXPECT_EQ(scan->stateLabel()->text(),
              "Scan failed at input 3 of 4: the MUX register could not be written. The rows "
              "measured before stay. MUX put back to 0x08.");
    EXPECT_EQ(board.registerValue(vxc5480::kMux), 0x08);
    EXPECT_EQ(panel()->m_current[vxc5480::kMux], 0x08);
}

class TwoChannelScanWindowTest : public ScanWindowTest {
  protected:
    TwoChannelScanWindowTest() : ScanWindowTest(sim::Chip::VXC5420) {}
    void SetUp() override {
        ScanWindowTest::SetUp();
        dlg.controlAs<QComboBox>(mainwindow::kModuleList)->setCurrentIndex(1);
    }
};

TEST_F(TwoChannelScanWindowTest, OffersTheChipsOwnChoicesAndScansBothWays) {
    clickDetect();
    auto *host = qobject_cast<TZ420Dlg *>(dlg.m_pPanel.data());
    ASSERT_NE(host, nullptr);
    CScanDlg *scan = openScan();
    EXPECT_FALSE(scan->inputSetButton(CScanDlg::InputSet::SingleEnded)->isEnabled());
    ASSERT_EQ(scan->inputList()->count(), 2);
    EXPECT_EQ(scan->inputList()->item(0)->text(), "AIN0-AIN1");
    EXPECT_EQ(scan->inputList()->item(1)->text(), "AIN1-AIN0");
    scan->inputList()->item(1)->setCheckState(Qt::Checked);
    EXPECT_TRUE(scan->inputSetButton(CScanDlg::InputSet::ByHand)->isChecked());
    expectAccessible(scan);
    const uint8_t before = board.registerValue(vxc5420::kMux);

    runScan(scan);

    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
    ASSERT_EQ(scan->table()->rowCount(), 2);
    // Nobody gave a reference: the chip core's default, the board's own 2.5 V. Nobody set the
    // discard: the four conversions the chip's sinc4 filter takes to settle.
    EXPECT_EQ(scan->referenceEdit()->text().toDouble(),
              sim::DefaultSignal(sim::Chip::VXC5420).referenceVolts);
    EXPECT_EQ(scan->discardSpin()->value(), 4);
    expectInputVolts(scan);
    expectCellsReadable(scan->table());
    EXPECT_EQ(board.registerValue(vxc5420::kMux), before);
    EXPECT_EQ(host->m_current[vxc5420::kMux], before);
    expectAccessible(scan);
}

} // namespace
