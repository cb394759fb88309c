#pragma once
// The acquisition and chart side of the main window. The window lays out the controls, the
// acquisition's own widgets among them (ChartArea, ColorSwatch, LogoView), and hands them over
// typed (AcquisitionControls); the controller connects them and holds the chart's state and
// the chart view. The handlers below are what the controls run. The items of "Start get ADC
// data" are read on a thread of its own (PortWorker), so the window's dialogs never stall
// them; the handler waits for them with the window's events running.

#include "acquisition_controls.h"
#include "chart_area.h"
#include "chart_state.h"
#include "chart_view.h"
#include "color_swatch.h"
#include "data_files.h"
#include "logo_view.h"
#include "scroll.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class BoardLink;
class BoardSession;

struct AcquisitionHooks {
    std::function<bool()> panelExists; // no acquisition without a chip panel
    // The board the chip panel drives (its link and busy flags); null when there is none. Held
    // for the acquisition's length: a detection meanwhile closes it but cannot free it.
    std::function<std::shared_ptr<BoardSession>()> board;
    std::function<void()> refreshFromChip; // the panel re-reads the chip; its result is ignored
    // The save dialog, owned by the window, proposing the path: filters "Normal text
    // file(*.txt)" and "All Format(*.*)", default suffix "txt", overwrite prompt. Returns the
    // chosen path, or an empty string when cancelled.
    std::function<QString(QWidget *owner, const QString &proposed)> chooseSavePath;
    // The colour chooser with the current colour preselected; false when cancelled.
    std::function<bool(QWidget *owner, QColor &color)> chooseColor;
    std::function<QDateTime()> now; // the local clock when not given
};

class PortWorker;

class AcquisitionController : public QObject {
    Q_OBJECT
  public:
    // controls must be complete; they and the controller belong to window.
    AcquisitionController(QWidget *window, const AcquisitionControls &controls,
                          AcquisitionHooks hooks);
    // A transfer still running gives its read up first.
    ~AcquisitionController() override;

    void OnStartAcquisition();
    // The items of an acquisition are on their way: the port is the transfer's.
    bool transferRunning() const;
    // Asks the transfer to give up the item in flight, which then fails as one that never
    // came; OnStartAcquisition tells it once its handler goes on.
    void abortTransfer();
    // Runs the window's events until the transfer has handed the port back.
    void waitForTransferEnd();
    // Both: what must happen before anything else may close or replace the port.
    void endTransfer();
    // endTransfer with nothing told of the transfer's end: the window is closing.
    void cancelTransfer();
    void OnDataCountChange();
    void OnHScroll(ScrollCode code);
    void OnGraphTypeChange();
    void OnSaveFile();
    void OnScaleColor();
    void OnGridColor();
    void OnDataColor();
    void OnBackgroundColor();

    // Empty samples, default colours, empty statistics, the empty chart, "45" to fetch.
    // The window sets its own title.
    void ResetChartView();
    // The chart for the selected graph type, the line chart from sample 0.
    void RedrawChart();
    void DrawLineChart(int start);
    void DrawDistribution();

    ChartArea *chartArea() const { return m_controls.chart; }
    const AcquisitionControls &controls() const { return m_controls; }
    // The graph on show, the line chart's first sample and the scroll bar's state.
    const ChartView &chartView() const { return m_view; }
    // First sample of the line chart on show (the distribution ignores it).
    int viewStart() const { return m_view.firstSample; }
    bool showsDistribution() const { return m_view.graph == ChartView::Graph::Distribution; }

    // Items of the latest acquisition attempt as received; a successful one hands them to
    // g_sampleRecord with their samples. The transfer's thread fills them while it runs.
    std::vector<uint8_t> m_rawItems;
    ChartState m_chartState;
    ChartColors m_colors;
    SavePaths m_paths;
    QFont m_lineChartFont;
    QFont m_distributionFont;
    QImage m_logo;

  signals:
    // After every successful acquisition, with the new samples (those now in g_samples).
    void samplesAcquired(const std::vector<int32_t> &samples);

  private:
    void connectControls();
    bool lineChartSelected() const;
    void redrawCurrentView();
    void showStatistics();
    void chooseColor(QColor &member, ColorSwatch *swatch);
    void prepareScrollBar(int count);
    void showThumb();
    void onScrollValueChanged(int value);
    bool acquire(BoardLink &link, int count);
    // The items into m_rawItems on the transfer's thread, then the end told; true when all
    // arrived whole.
    bool transfer(BoardLink &link, int count);
    QDateTime now() const;

    QWidget *m_window;
    AcquisitionControls m_controls;
    AcquisitionHooks m_hooks;
    ChartView m_view;
    PortWorker *m_transfer; // a child of the controller
    std::atomic<bool> m_abortTransfer{false};
    bool m_quietEnd = false; // the transfer's end is not told (cancelTransfer)
};
