#include "main_window_layout.h"

#include "acquisition/chart_area.h"
#include "acquisition/color_swatch.h"
#include "acquisition/logo_view.h"

#include "resources/main_window_ids.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include <tuple>

using namespace mainwindow;

namespace {
constexpr int kRowHeight = 26;
constexpr int kGap = 6;
constexpr QSize kSwatchSize{27, 16};
constexpr QRect kLogoRect{677, 6, 223, 50};

// Places widgets left to right on one row, each as wide as asked or as its text needs.
class RowPlacer {
  public:
    RowPlacer(QWidget *parent, int x, int y) : m_parent(parent), m_x(x), m_y(y) {}

    QLabel *label(const QString &text) {
        auto *label = new QLabel(text, m_parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        place(label, label->fontMetrics().horizontalAdvance(text) + 4);
        return label;
    }
    QPushButton *button(const QString &text, int minimumWidth) {
        auto *button = new QPushButton(text, m_parent);
        // Return never presses a button here, as Escape and Return never close the window.
        button->setAutoDefault(false);
        button->setAccessibleName(text);
        place(button, std::max(minimumWidth, button->sizeHint().width()));
        return button;
    }
    template <typename T> T *place(T *widget, int width, int height = kRowHeight) {
        widget->setGeometry(m_x, m_y + (kRowHeight - height) / 2, width, height);
        m_x += width + kGap;
        return widget;
    }
    void skip(int dx) { m_x += dx; }
    int x() const { return m_x; }

  private:
    QWidget *m_parent;
    int m_x;
    int m_y;
};

// The label names its control for keyboard and screen-reader users.
void labelControl(QLabel *label, QWidget *control) {
    label->setBuddy(control);
    control->setAccessibleName(label->text());
}

QLineEdit *readOnlyEdit(QWidget *parent) {
    auto *edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    return edit;
}

void buildTopRow(QWidget *client, platform::ControlRegistry &controls,
                 AcquisitionControls &acquisition) {
    RowPlacer row(client, 15, 14);
    QLabel *moduleLabel = row.label(QStringLiteral("EVM Module"));
    auto *moduleList = row.place(new QComboBox(client), 120);
    labelControl(moduleLabel, moduleList);
    QPushButton *detect = row.button(QStringLiteral("Detect EVM"), 100);
    auto *portLabel = row.place(new QLabel(client), kLogoRect.left() - 10 - row.x());
    controls.add(kModuleLabel, moduleLabel);
    controls.add(kModuleList, moduleList);
    controls.add(kDetectEvm, detect);
    controls.add(kPortLabel, portLabel);

    auto *logo = new LogoView(client);
    logo->setGeometry(kLogoRect);
    logo->setAccessibleName(QStringLiteral("Logo"));
    controls.add(kLogo, logo);
    acquisition.logo = logo;
}

void buildAcquisitionRows(QWidget *client, platform::ControlRegistry &controls,
                          AcquisitionControls &acquisition) {
    const int top = kPanelOrigin.y() + kPanelArea.height() + 12;
    RowPlacer countRow(client, kPanelOrigin.x(), top);
    QLabel *countLabel = countRow.label(QStringLiteral("Data Count"));
    auto *count = countRow.place(new QLineEdit(QStringLiteral("45"), client), 70);
    count->setMaxLength(5);
    labelControl(countLabel, count);
    QPushButton *start = countRow.button(QStringLiteral("Start get ADC data"), 150);
    start->setEnabled(false);
    controls.add(kDataCount, count);
    controls.add(kStartAcquisition, start);
    acquisition.dataCount = count;
    acquisition.start = start;

    RowPlacer progressRow(client, kPanelOrigin.x(), top + kRowHeight + 8);
    QLabel *progressLabel = progressRow.label(QStringLiteral("Collecting"));
    const int progressWidth = kPanelOrigin.x() + kPanelArea.width() - progressRow.x();
    auto *progress = progressRow.place(new QProgressBar(client), progressWidth, 20);
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->setTextVisible(false);
    progress->setFocusPolicy(Qt::TabFocus);
    labelControl(progressLabel, progress);
    controls.add(kProgress, progress);
    acquisition.progress = progress;
}

void buildChart(QWidget *client, platform::ControlRegistry &controls,
                AcquisitionControls &acquisition) {
    // The drawing surface itself, named "Chart": its top-left pixel is the picture's (0, 0).
    auto *chart = new ChartArea(client);
    chart->setGeometry(kChartRect);
    chart->setFocusPolicy(Qt::StrongFocus);
    controls.add(kChartArea, chart);

    auto *scroll = new QScrollBar(Qt::Horizontal, client);
    scroll->setGeometry(kChartRect.left(), kChartRect.bottom() + 3, kChartRect.width(), 17);
    scroll->setAccessibleName(QStringLiteral("Chart position"));
    scroll->setFocusPolicy(Qt::StrongFocus);
    controls.add(kChartScroll, scroll);
    acquisition.chart = chart;
    acquisition.scrollBar = scroll;
}

void buildChartRows(QWidget *client, platform::ControlRegistry &controls,
                    AcquisitionControls &acquisition) {
    const int left = kChartRect.left();
    int y = kChartRect.bottom() + 28;

    RowPlacer statistics(client, left, y);
    const std::tuple<int, const char *, QLineEdit **> fields[] = {
        {kMinimum, "Minimum", &acquisition.minimum},
        {kMaximum, "Maximum", &acquisition.maximum},
        {kAverage, "Average", &acquisition.average}};
    for (const auto &[id, text, field] : fields) {
        QLabel *label = statistics.label(QLatin1String(text));
        QLineEdit *edit = statistics.place(readOnlyEdit(client), 100);
        labelControl(label, edit);
        controls.add(id, edit);
        *field = edit;
        statistics.skip(10);
    }

    y += kRowHeight + 8;
    RowPlacer graphRow(client, left, y);
    QLabel *graphLabel = graphRow.label(QStringLiteral("Graph Type"));
    auto *graphType = graphRow.place(new QComboBox(client), 190);
    labelControl(graphLabel, graphType);
    controls.add(kGraphType, graphType);
    acquisition.graphType = graphType;

    y += kRowHeight + 8;
    RowPlacer colours(client, left, y);
    // The chart view gives them their colours when it is reset.
    const std::tuple<int, const char *, ColorSwatch **> swatches[] = {
        {kScaleColor, "Scale Color", &acquisition.scaleColor},
        {kBackgroundColor, "Background Color", &acquisition.backgroundColor},
        {kGridColor, "Grid Color", &acquisition.gridColor},
        {kDataColor, "Data Color", &acquisition.dataColor}};
    for (const auto &[id, text, field] : swatches) {
        QLabel *label = colours.label(QLatin1String(text));
        auto *swatch =
            colours.place(new ColorSwatch(client), kSwatchSize.width(), kSwatchSize.height());
        labelControl(label, swatch);
        controls.add(id, swatch);
        *field = swatch;
        colours.skip(14);
    }

    y += kRowHeight + 8;
    RowPlacer logRow(client, left, y);
    QLabel *logLabel = logRow.label(QStringLiteral("Log File Path"));
    auto *logPath = new QLineEdit(client);
    QPushButton *save = new QPushButton(QStringLiteral("Save File"), client);
    save->setAutoDefault(false);
    save->setAccessibleName(save->text());
    const int saveWidth = std::max(90, save->sizeHint().width());
    logRow.place(logPath, kChartRect.right() + 1 - saveWidth - kGap - logRow.x());
    logRow.place(save, saveWidth);
    labelControl(logLabel, logPath);
    controls.add(kLogPathLabel, logLabel);
    controls.add(kLogPath, logPath);
    controls.add(kSaveFile, save);
    acquisition.logFilePath = logPath;
    acquisition.saveFile = save;
}

void setTabOrder(const platform::ControlRegistry &controls) {
    const int order[] = {kModuleList, kDetectEvm,   kDataCount,       kStartAcquisition, kProgress,
                         kChartArea,  kChartScroll, kMinimum,         kMaximum,          kAverage,
                         kGraphType,  kScaleColor,  kBackgroundColor, kGridColor,        kDataColor,
                         kLogPath,    kSaveFile};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(controls.control(order[i - 1]), controls.control(order[i]));
}
} // namespace

AcquisitionControls BuildMainWindowControls(QWidget *client, platform::ControlRegistry &controls) {
    client->setFixedSize(kClientSize);
    AcquisitionControls acquisition;
    buildTopRow(client, controls, acquisition);
    buildAcquisitionRows(client, controls, acquisition);
    buildChart(client, controls, acquisition);
    buildChartRows(client, controls, acquisition);
    setTabOrder(controls);
    return acquisition;
}
