// The "Input Scan" window from the main window's "&Analysis" menu, with the real panels against
// the virtual board: a scan fills the table a screen reader reads, puts MUX back and leaves
// the panel showing the chip's state; while it runs, the board is the scan's.

#include "panel_host_fixture.h"

#include "../scan/scan_board.h"
#include "panel_2ch/tz420_dlg.h"
#include "platform/question.h"
#include "scan/scan_bar_plot.h"
#include "scan/scan_dlg.h"
#include "scan/scan_table.h"
#include "tests/support/accessibility_walk.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

class ScanWindowTest : public PanelHostTest {
  protected:
    explicit ScanWindowTest(sim::Chip chip = sim::Chip::VXC5480) : PanelHostTest(chip) {}
    void SetUp() override {
        PanelHostTest::SetUp();
        board.setPacing(sim::Pacing::Unpaced);
    }

    QAction *analysisEntry(const QString &text) const {
        for (QAction *top : dlg.commandMenuBar()->actions()) {
            if (top->text() == QLatin1String("&Analysis") && top->menu()) {
                for (QAction *action : top->menu()->actions())
                    if (action->text() == text)
                        return action;
            }
        }
        return nullptr;
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
    // Every row's mean in microvolts, as shown, against what its input sees on the board.
    void expectInputVolts(CScanDlg *scan) const {
        const std::vector<scan::ScanRow> &rows = scan->lastOutcome().rows;
        ASSERT_EQ(scan->table()->rowCount(), int(rows.size()));
        for (int r = 0; r < int(rows.size()); ++r) {
            const double expected = scantest::InputVolts(board.chip(), rows[size_t(r)].input);
            const QString shown =
                scan->table()->item(r, scan::kMeanMicrovoltsColumn)->text().section(u' ', 0, 0);
            EXPECT_NEAR(shown.toDouble() * 1e-6, expected, 0.01 * std::abs(expected) + 20e-6)
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

    QTest::mouseClick(scan->runButton(), Qt::LeftButton);

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
    EXPECT_EQ(scan->plot()->unit(), QStringLiteral("\u00B5V"));
    EXPECT_TRUE(scan->stateLabel()->text().startsWith("Scan finished: 8 inputs."))
        << scan->stateLabel()->text().toStdString();
    EXPECT_EQ(board.registerValue(vxc5480::kMux), 0x67);
    EXPECT_EQ(panel()->m_current[vxc5480::kMux], 0x67);
    EXPECT_EQ(g_acquiring, 0);
    expectAccessible(scan);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scan.csv"));
    ASSERT_TRUE(scan->ExportTo(path));
    QFile csv(path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().count('\n'), 1 + 8);
}

// While the scan runs the board is its own: "Start get ADC data" does nothing, and "Detect
// EVM" asks, then ends the scan after the input in flight, puts MUX back, and then detects.
TEST_F(ScanWindowTest, DetectEvmWaitsForTheScanToPutMuxBack) {
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    CScanDlg *scan = openScan();
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
        EXPECT_EQ(g_acquiring, 1);
        QTest::mouseClick(dlg.control(mainwindow::kStartAcquisition), Qt::LeftButton);
        clickDetect();
    });
    watch.start(0);
    QTest::mouseClick(scan->runButton(), Qt::LeftButton);
    watch.stop();
    platform::SetQuestionAnswer({});

    ASSERT_TRUE(clicked);
    EXPECT_EQ(questions, QStringList{QStringLiteral("An input scan is running. Stop it?")});
    EXPECT_TRUE(progressRead.startsWith(QStringLiteral("Progress: input ")))
        << progressRead.toStdString();
    EXPECT_TRUE(scan->lastOutcome().stopped);
    int measured = 0;
    for (const scan::ScanRow &row : scan->lastOutcome().rows)
        measured += row.repeats.empty() ? 0 : 1;
    EXPECT_GE(measured, 1);
    EXPECT_LT(measured, 8);
    EXPECT_EQ(scan->lastOutcome().putBack, scan::MuxPutBack::Done);
    EXPECT_EQ(board.registerValue(vxc5480::kMux), 0x76);
    // No acquisition of the main window's 45 items was asked for.
    for (const BoardFrame &frame : board.receivedFrames())
        EXPECT_FALSE(frame[2] == 0x0F && frame[4] == 45);
    // The detection runs once the scan's handler has unwound.
    board.clearReceivedFrames();
    QTRY_VERIFY(!board.receivedFrames().empty() && panel() != nullptr);
    EXPECT_EQ(board.receivedFrames().front(), frameOf(0xF0, 0));
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

    QTest::mouseClick(scan->runButton(), Qt::LeftButton);

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

    QTest::mouseClick(scan->runButton(), Qt::LeftButton);

    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
    ASSERT_EQ(scan->table()->rowCount(), 2);
    // The 2-channel panel knows no reference: the scan's own field (the board's 2.5 V) stands.
    EXPECT_EQ(scan->referenceEdit()->text().toDouble(),
              sim::DefaultSignal(sim::Chip::VXC5420).referenceVolts);
    expectInputVolts(scan);
    expectCellsReadable(scan->table());
    EXPECT_EQ(board.registerValue(vxc5420::kMux), before);
    EXPECT_EQ(host->m_current[vxc5420::kMux], before);
    expectAccessible(scan);
}

} // namespace
