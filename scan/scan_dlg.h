#pragma once
// The "Input Scan" window: the inputs to scan (single-ended, differential pairs or ticked by
// hand from the chip's MUX choices), samples, discarded samples and repeats, Run and Stop, the
// table of figures per input with its bar plot, and Export. Non-modal. The scan engine runs on
// a thread of its own (PortWorker) and the window shows its progress and rows as they come, so
// no dialog of the program stalls the scan; the main window tells it what the chip panel knows
// and asks it to stop before a detection.

#include "scan_engine.h"

#include "conversion/conversion_facts.h"
#include "platform/message_service.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class PortWorker;
class ReferenceEdit;
class ScanBarPlot;

// What the chip panel knows: its multiplexer, and what the chip's core makes of its registers
// at the chip's default reference (the window applies its own).
struct ScanPanelFacts {
    const panel_common::MuxLayout *mux = nullptr;
    conversion::ConversionFacts facts;
};

class BoardLink;
class BoardSession;

struct ScanWindowHooks {
    // The board the main window drives now; null when there is none.
    std::function<BoardSession *()> board;
    // The current panel's facts; nothing when there is no panel.
    std::function<std::optional<ScanPanelFacts>()> panelFacts;
    // After a scan the board answered: the panel reads the chip again and shows its state;
    // true when that gave up choices the panel showed but had not written.
    std::function<bool()> refreshPanel;
    // What holds the board when a scan cannot have it ("a capture is writing FILE"), or "".
    std::function<QString()> boardHolder;
};

class CScanDlg : public QDialog {
    Q_OBJECT
  public:
    enum class InputSet { SingleEnded, Pairs, ByHand };

    explicit CScanDlg(ScanWindowHooks hooks, QWidget *parent = nullptr);
    // A running scan is asked to stop and waited for: it ends after the acquisition in flight.
    ~CScanDlg() override;

    // Starts the scan and returns; finished() follows its end.
    void OnRun();
    void OnStop();
    void OnExport();
    // Writes the table as CSV; false (after telling the user) when it could not be written.
    bool ExportTo(const QString &csvPath);
    // The panel came or went: the input choices follow its chip.
    void OnPanelChanged();
    // Asks a running scan to end after the acquisition in flight; finished() follows.
    void RequestStop();
    // From Run until finished(): the board is the scan's.
    bool running() const { return m_running; }

    void chooseInputSet(InputSet set);
    // The inputs ticked, in the list's order.
    std::vector<scan::ScanInput> tickedInputs() const;
    const scan::ScanOutcome &lastOutcome() const { return m_outcome; }

    QRadioButton *inputSetButton(InputSet set) const;
    QListWidget *inputList() const { return m_inputList; }
    QSpinBox *countSpin() const { return m_count; }
    QSpinBox *discardSpin() const { return m_discard; }
    QSpinBox *repeatsSpin() const { return m_repeats; }
    ReferenceEdit *referenceEdit() const { return m_reference; }
    QLineEdit *gainEdit() const { return m_gain; }
    QPushButton *runButton() const { return m_run; }
    QPushButton *stopButton() const { return m_stop; }
    QPushButton *exportButton() const { return m_export; }
    QLabel *progressLabel() const { return m_progress; }
    QLabel *stateLabel() const { return m_state; }
    QTableWidget *table() const { return m_table; }
    ScanBarPlot *plot() const { return m_plot; }

  signals:
    // The scan has the board from now until finished().
    void started();
    // The scan has ended and the window shows how; the port is back on the window's thread.
    void finished();

  public slots:
    void done(int result) override;

  private:
    QWidget *buildInputs();
    QWidget *buildSettings();
    void fillInputList();
    void onItemTicked(QListWidgetItem *item);
    void setRunning(bool running);
    // On the scan's thread.
    void runScan(BoardLink &link, const scan::ScanSettings &settings,
                 const panel_common::MuxLayout &layout);
    void onScanEnded();
    // The state line, the table and finished() for an outcome.
    void showEnd(scan::ScanOutcome outcome);
    // Run refused: another operation has the board. The last scan's table stays.
    void showBusy();
    // Rows and bars from m_outcome.rows and the scale as it stands.
    void showRows();
    void showRow(int row);
    double lsbVolts() const;
    // The chip's facts: the reference's bounds, the gain, and the discard where none is given.
    void showFacts(const conversion::ConversionFacts &facts);
    void showState(const QString &text);

    ScanWindowHooks m_hooks;
    const panel_common::MuxLayout *m_layout = nullptr;
    conversion::ConversionFacts m_facts; // at the chip's default reference
    bool m_discardGiven = false; // the user set the discard: the chip's settling is not taken
    bool m_settingDiscard = false;
    scan::ScanOutcome m_outcome;
    bool m_running = false;
    std::atomic<bool> m_stopRequested{false};  // read by the scan's thread
    std::optional<scan::ScanBusyGuard> m_busy; // held from Run to the end, on this thread
    PortWorker *m_worker = nullptr;
    // Written by the scan's thread, read here once it has ended.
    scan::ScanOutcome m_ended;
    std::vector<platform::Message> m_endMessages;
    bool m_ticking = false; // the list is being ticked by a set, not by hand

    QButtonGroup *m_inputSet = nullptr;
    QListWidget *m_inputList = nullptr;
    QSpinBox *m_count = nullptr;
    QSpinBox *m_discard = nullptr;
    QSpinBox *m_repeats = nullptr;
    ReferenceEdit *m_reference = nullptr;
    QLineEdit *m_gain = nullptr;
    QPushButton *m_run = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_export = nullptr;
    QLabel *m_progress = nullptr;
    QLabel *m_state = nullptr;
    QTableWidget *m_table = nullptr;
    ScanBarPlot *m_plot = nullptr;
    QList<QWidget *> m_settingsControls;
};
