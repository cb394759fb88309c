#pragma once
// The acquisition and chart side of the main window. The window lays out the controls,
// the acquisition's own widgets among them (ChartArea, ColorSwatch, LogoView); the controller
// finds them by id (data count, start button, chart area, scroll bar, statistics, progress bar,
// log file path, save button, colour swatches, graph type list, logo area), connects them and
// holds the samples' state and the chart view. The handlers below are what the controls run.

#include "chart_area.h"
#include "chart_state.h"
#include "chart_view.h"
#include "color_swatch.h"
#include "data_files.h"
#include "logo_view.h"
#include "scroll.h"

#include "resources/main_window_ids.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <vector>

struct AcquisitionHooks {
    std::function<bool()> panelExists;     // no acquisition without a chip panel
    std::function<void()> refreshFromChip; // the panel re-reads the chip; its result is ignored
    // The save dialog, owned by the window, proposing the path: filters "Normal text
    // file(*.txt)" and "All Format(*.*)", default suffix "txt", overwrite prompt. Returns the
    // chosen path, or an empty string when cancelled.
    std::function<QString(QWidget *owner, const QString &proposed)> chooseSavePath;
    // The colour chooser with the current colour preselected; false when cancelled.
    std::function<bool(QWidget *owner, QColor &color)> chooseColor;
    std::function<void()> pumpEvents; // after every item; processEvents() when not given
    std::function<QDateTime()> now;   // the local clock when not given
};

class AcquisitionController : public QObject {
    Q_OBJECT
  public:
    // control(id) gives the window's control of that id, or null; a control of another kind
    // than the controller expects counts as missing.
    AcquisitionController(QWidget *window, const std::function<QWidget *(int)> &control,
                          AcquisitionHooks hooks);

    void OnStartAcquisition();
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

    ChartArea *chartArea() const { return m_chartArea; }
    // The graph on show, the line chart's first sample and the scroll bar's state.
    const ChartView &chartView() const { return m_view; }
    // First sample of the line chart on show (the distribution ignores it).
    int viewStart() const { return m_view.firstSample; }
    bool showsDistribution() const { return m_view.graph == ChartView::Graph::Distribution; }
    ColorSwatch *swatch(int id) const;

    // Items of the latest acquisition attempt as received; a successful one hands them to
    // g_sampleRecord with their samples.
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
    void bind(const std::function<QWidget *(int)> &control);
    bool lineChartSelected() const;
    void redrawCurrentView();
    void showStatistics();
    void chooseColor(QColor &member, int swatchId);
    void prepareScrollBar(int count);
    void showThumb();
    void onScrollValueChanged(int value);
    bool acquire(int count);
    QDateTime now() const;

    QWidget *m_window;
    AcquisitionHooks m_hooks;
    ChartView m_view;
    QPointer<ChartArea> m_chartArea;
    QPointer<QScrollBar> m_scrollBar;
    QPointer<QComboBox> m_graphType;
    QPointer<QLineEdit> m_dataCount;
    QPointer<QAbstractButton> m_start;
    QPointer<QProgressBar> m_progress;
    QPointer<QLineEdit> m_minimum;
    QPointer<QLineEdit> m_maximum;
    QPointer<QLineEdit> m_average;
    QPointer<QLineEdit> m_logFilePath;
    QPointer<ColorSwatch> m_swatches[4]; // scale, grid, data, background
    QPointer<LogoView> m_logoView;
};
