#pragma once
// The "Continuous Capture" window: the settings of a capture, Start and Stop, the figures of the
// run as it grows and its strip chart. Non-modal. The capture engine runs on a port worker (a
// thread that owns the port for the run) and writes its files there; the window holds the
// busy flags from Start to the worker's end, reads the engine's progress and the live
// envelope as snapshots a few times a second, and shows the outcome. Nothing the window's
// thread does (a modal dialog, a slow paint) holds up the stream. The main window tells it
// what the chip panel knows and stops it before a detection.

#include "capture_engine.h"
#include "run_envelope.h"

#include "platform/busy_flags.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class CaptureStripChart;
class PortWorker;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class ReferenceEdit;

class BoardSession;

struct CaptureWindowHooks {
    // The board the main window drives now; null when there is none.
    std::function<BoardSession *()> board;
    // The chip panel re-reads the chip (keeping unwritten choices); then its facts at the
    // reference given (the chip's default when none is). Nothing when there is no panel.
    std::function<std::optional<capture::CaptureFacts>(std::optional<double> referenceVolts)>
        factsFromPanel;
    // The current chip's reference default and bounds; nothing when there is no panel.
    std::function<std::optional<conversion::ReferenceRange>()> referenceRange;
    // The save dialog, proposing a path; an empty string when cancelled.
    std::function<QString(QWidget *owner, const QString &proposed, capture::FileFormat)> choosePath;
    std::function<QString()> proposedFolder; // where data files are proposed
    // What brings a board that came back after a loss to the chip the capture started with
    // (the facts recorded); empty when the chip is not known.
    std::function<capture::RestoreBoard(const capture::CaptureFacts &)> restoreFor;
};

class CCaptureDlg : public QDialog {
    Q_OBJECT
  public:
    CCaptureDlg(CaptureWindowHooks hooks, QWidget *parent = nullptr);
    ~CCaptureDlg() override;

    void OnStart();
    void OnStop();
    void OnBrowse();
    // Stops a running capture for this reason ("detect", "user"); finished() follows.
    void StopFor(const QString &reason);
    // From Start until finished(): the port is the capture's meanwhile.
    bool running() const;
    // A stop was asked for and the capture is ending.
    bool stopping() const { return running() && m_stopAsked; }
    // The file being written (the last one after the end).
    QString filePath() const;
    // The panel came or went: the reference field follows its chip.
    void OnPanelChanged();

    // The settings as the controls hold them; an empty string or what is wrong.
    QString settingsFromControls(capture::CaptureSettings &settings) const;
    const capture::CaptureResult &lastResult() const { return m_result; }
    QLabel *stateLabel() const { return m_state; }
    CaptureStripChart *chart() const { return m_chart; }
    QLineEdit *pathEdit() const { return m_path; }
    QComboBox *formatList() const { return m_format; }
    // The block size: "auto" (about a second of conversions) or a number of items.
    QLineEdit *blockEdit() const { return m_block; }
    QLineEdit *durationEdit() const { return m_duration; }
    QLineEdit *samplesEdit() const { return m_samples; }
    QCheckBox *splitCheck() const { return m_split; }
    QLineEdit *splitEdit() const { return m_splitInterval; }
    // Wait for a lost board, and for how long (H:MM:SS).
    QCheckBox *reconnectCheck() const { return m_reconnect; }
    QLineEdit *reconnectEdit() const { return m_reconnectWithin; }
    ReferenceEdit *referenceEdit() const { return m_reference; }
    QPushButton *startButton() const { return m_start; }
    QPushButton *stopButton() const { return m_stop; }
    // The readouts, in the order they are shown.
    const std::vector<QLineEdit *> &readouts() const { return m_readouts; }
    // Shown when the chip converts faster than the wire carries.
    QLabel *wireNote() const { return m_wireNote; }
    // 0 by hand, 1 after a duration, 2 after a number of samples.
    void setStopRule(capture::StopRule rule);
    // Redraws the figures and the chart from the engine's progress (a timer does this several
    // times a second while the capture runs).
    void refresh();
    int refreshes() const { return m_refreshes; }

  signals:
    // The capture has the board from now until finished().
    void started();
    void finished(const capture::CaptureResult &result);
    // The board was lost, and the capture waits for it (cause: why); it is back.
    void boardLost(const QString &cause);
    void boardBack();

  private:
    QWidget *buildSettings();
    QWidget *buildReadouts();
    // The reference field on the settings grid's row (capture_dlg_reference.cpp).
    void addReferenceField(QGridLayout *grid, int row);
    void setRunning(bool running);
    void setState(const QString &text);
    capture::FileFormat chosenFormat() const;
    // The format follows a path whose suffix names one.
    void followPathFormat();
    // True when the run replaces nothing, or the user agreed to replace what is there (then
    // settings.force is set).
    bool mayReplace(capture::CaptureSettings &settings);
    // Before a run: what Start will do with the file named.
    void showIdleState();
    void showCapturingTo(const QString &path);
    void markClipped(bool clipped);
    void onWorkerFinished();
    void showResult(const capture::CaptureResult &result);

    CaptureWindowHooks m_hooks;
    // Declared before the worker: the worker (and its thread) goes first.
    std::unique_ptr<capture::CaptureEngine> m_engine;
    std::unique_ptr<PortWorker> m_worker;
    std::unique_ptr<BusyGuard> m_board; // the busy flags, held from Start to the end
    capture::CaptureResult m_jobResult; // written by the worker, read after its end
    capture::SharedEnvelope m_live;
    uint64_t m_shownSamples = 0;
    capture::CaptureResult m_result;
    double m_voltsPerCode = 0.0;
    QString m_firstPath; // the run's first file
    QString m_statePath; // the file the state line names while the run writes
    bool m_clippedShown = false;
    bool m_stopAsked = false;
    int m_refreshes = 0;

    QLineEdit *m_path = nullptr;
    QPushButton *m_browse = nullptr;
    QComboBox *m_format = nullptr;
    QLineEdit *m_block = nullptr;
    QButtonGroup *m_stopRule = nullptr;
    QLineEdit *m_duration = nullptr;
    QLineEdit *m_samples = nullptr;
    QCheckBox *m_split = nullptr;
    QLineEdit *m_splitInterval = nullptr;
    QCheckBox *m_reconnect = nullptr;
    QLineEdit *m_reconnectWithin = nullptr;
    bool m_lossShown = false; // the state line says the board is lost
    ReferenceEdit *m_reference = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_stop = nullptr;
    QLabel *m_state = nullptr;
    std::vector<QLineEdit *> m_readouts;
    QLabel *m_wireNote = nullptr;
    CaptureStripChart *m_chart = nullptr;
    QTimer *m_refresh = nullptr;
    QList<QWidget *> m_settingsControls;
};
