#pragma once
// The "Continuous Capture" window: the settings of a capture, Start and Stop, the figures of the
// run as it grows and its strip chart. Non-modal. It runs the capture engine on the GUI thread;
// the main window tells it what the chip panel knows and stops it before a detection.

#include "capture_engine.h"
#include "run_envelope.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class CaptureStripChart;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class ReferenceEdit;

struct CaptureWindowHooks {
    // The chip panel re-reads the chip, as before an acquisition; then its facts at the
    // reference given (the chip's default when none is). Nothing when there is no panel.
    std::function<std::optional<capture::CaptureFacts>(std::optional<double> referenceVolts)>
        factsFromPanel;
    // The current chip's reference default and bounds; nothing when there is no panel.
    std::function<std::optional<analysis::ReferenceRange>()> referenceRange;
    // The save dialog, proposing a path; an empty string when cancelled.
    std::function<QString(QWidget *owner, const QString &proposed, capture::FileFormat)> choosePath;
    std::function<QString()> proposedFolder; // where data files are proposed
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
    bool running() const { return m_engine && m_engine->running(); }
    // The panel came or went: the reference field follows its chip.
    void OnPanelChanged();

    // The settings as the controls hold them; an empty string or what is wrong.
    QString settingsFromControls(capture::CaptureSettings &settings) const;
    const capture::CaptureResult &lastResult() const { return m_result; }
    QLabel *stateLabel() const { return m_state; }
    CaptureStripChart *chart() const { return m_chart; }
    QLineEdit *pathEdit() const { return m_path; }
    QComboBox *formatList() const { return m_format; }
    QLineEdit *blockEdit() const { return m_block; }
    QLineEdit *durationEdit() const { return m_duration; }
    QLineEdit *samplesEdit() const { return m_samples; }
    QCheckBox *splitCheck() const { return m_split; }
    QLineEdit *splitEdit() const { return m_splitInterval; }
    ReferenceEdit *referenceEdit() const { return m_reference; }
    QPushButton *startButton() const { return m_start; }
    QPushButton *stopButton() const { return m_stop; }
    // The readouts, in the order they are shown.
    const std::vector<QLineEdit *> &readouts() const { return m_readouts; }
    // 0 by hand, 1 after a duration, 2 after a number of samples.
    void setStopRule(capture::StopRule rule);
    // Redraws the figures and the chart from the engine's progress (a timer does this while
    // the capture runs).
    void refresh();

  signals:
    void finished(const capture::CaptureResult &result);

  private:
    QWidget *buildSettings();
    QWidget *buildReadouts();
    // The reference field on the settings grid's row (capture_dlg_reference.cpp).
    void addReferenceField(QGridLayout *grid, int row);
    void setRunning(bool running);
    void setState(const QString &text);
    void showResult(const capture::CaptureResult &result);

    CaptureWindowHooks m_hooks;
    std::unique_ptr<capture::CaptureEngine> m_engine;
    capture::RunEnvelope m_envelope;
    capture::CaptureResult m_result;
    double m_voltsPerCode = 0.0;

    QLineEdit *m_path = nullptr;
    QPushButton *m_browse = nullptr;
    QComboBox *m_format = nullptr;
    QLineEdit *m_block = nullptr;
    QButtonGroup *m_stopRule = nullptr;
    QLineEdit *m_duration = nullptr;
    QLineEdit *m_samples = nullptr;
    QCheckBox *m_split = nullptr;
    QLineEdit *m_splitInterval = nullptr;
    ReferenceEdit *m_reference = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_stop = nullptr;
    QLabel *m_state = nullptr;
    std::vector<QLineEdit *> m_readouts;
    CaptureStripChart *m_chart = nullptr;
    QTimer *m_refresh = nullptr;
    QList<QWidget *> m_settingsControls;
};
