#include "acquisition_controller.h"

#include "chart_area.h"
#include "chart_font.h"
#include "color_swatch.h"
#include "logo_view.h"
#include "samples.h"

#include "link/port_worker.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>

#include <algorithm>
#include <iterator>

namespace {
ScrollCode scrollCodeOf(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollCode::LineLeft;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollCode::LineRight;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollCode::PageLeft;
    case QAbstractSlider::SliderPageStepAdd:
        return ScrollCode::PageRight;
    case QAbstractSlider::SliderMove:
        return ScrollCode::Track;
    case QAbstractSlider::SliderToMinimum:
        return ScrollCode::LeftEnd;
    case QAbstractSlider::SliderToMaximum:
        return ScrollCode::RightEnd;
    default:
        return ScrollCode::Other;
    }
}

QAbstractSlider::SliderAction keyAction(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_PageUp:
        return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_PageDown:
        return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_Home:
        return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End:
        return QAbstractSlider::SliderToMaximum;
    default:
        return QAbstractSlider::SliderNoAction;
    }
}

// QScrollBar inverts its keys (Right would scroll left); the chart's bar takes them as a
// horizontal bar should. Lives with the bar it filters.
class HorizontalKeys : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *bar = qobject_cast<QAbstractSlider *>(watched);
        if (!bar || event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto action = keyAction(static_cast<QKeyEvent *>(event)->key());
        if (action == QAbstractSlider::SliderNoAction)
            return false;
        bar->triggerAction(action);
        return true;
    }
};

} // namespace

bool AcquisitionControls::complete() const {
    const void *all[] = {dataCount, start,     progress,        chart,       scrollBar, minimum,
                         maximum,   average,   graphType,       logFilePath, saveFile,  scaleColor,
                         gridColor, dataColor, backgroundColor, logo};
    return std::find(std::begin(all), std::end(all), nullptr) == std::end(all);
}

AcquisitionController::AcquisitionController(QWidget *window, const AcquisitionControls &controls,
                                             AcquisitionHooks hooks)
    : QObject(window), m_lineChartFont(MakeChartFont()), m_distributionFont(MakeChartFont()),
      m_logo(LoadLogo()), m_window(window), m_controls(controls), m_hooks(std::move(hooks)),
      m_transfer(new PortWorker(this)) {
    // A control left out is a fault of the layout, found at start rather than at first use.
    if (!m_controls.complete())
        qFatal("AcquisitionController: the window's layout left out a control");
    connectControls();
}

AcquisitionController::~AcquisitionController() {
    // The worker, a child, waits for its thread as it goes.
    abortTransfer();
}

void AcquisitionController::connectControls() {
    const AcquisitionControls &c = m_controls;
    connect(c.chart, &ChartArea::resized, this, [this] { redrawCurrentView(); });
    c.scrollBar->setRange(0, 0);
    c.scrollBar->setPageStep(m_view.scroll.page);
    c.scrollBar->setSingleStep(1);
    // Arrows, track clicks, drags, the keyboard and most of the bar's context menu come as
    // actions; "Scroll here" only sets the value.
    connect(c.scrollBar, &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnHScroll(scrollCodeOf(action)); });
    connect(c.scrollBar, &QAbstractSlider::valueChanged, this,
            [this](int value) { onScrollValueChanged(value); });
    c.scrollBar->installEventFilter(new HorizontalKeys(c.scrollBar));
    connect(c.graphType, &QComboBox::activated, this, [this] { OnGraphTypeChange(); });
    connect(c.dataCount, &QLineEdit::textChanged, this, [this] { OnDataCountChange(); });
    connect(c.start, &QAbstractButton::clicked, this, [this] { OnStartAcquisition(); });
    c.progress->setRange(0, 100);
    connect(c.saveFile, &QAbstractButton::clicked, this, [this] { OnSaveFile(); });
    connect(c.scaleColor, &ColorSwatch::clicked, this, &AcquisitionController::OnScaleColor);
    connect(c.gridColor, &ColorSwatch::clicked, this, &AcquisitionController::OnGridColor);
    connect(c.dataColor, &ColorSwatch::clicked, this, &AcquisitionController::OnDataColor);
    connect(c.backgroundColor, &ColorSwatch::clicked, this,
            &AcquisitionController::OnBackgroundColor);
    c.logo->setLogo(m_logo);
}

void AcquisitionController::ResetChartView() {
    g_sampleRecord.clear();
    m_colors = ChartColors();
    m_controls.scaleColor->setColor(m_colors.m_scaleColor);
    m_controls.gridColor->setColor(m_colors.m_gridColor);
    m_controls.dataColor->setColor(m_colors.m_dataColor);
    m_controls.backgroundColor->setColor(m_colors.m_backgroundColor);
    for (QLineEdit *edit : {m_controls.maximum, m_controls.minimum, m_controls.average})
        edit->clear();
    DrawLineChart(0);
    m_controls.dataCount->setMaxLength(5);
    m_controls.dataCount->setText(QStringLiteral("45"));
}

void AcquisitionController::showStatistics() {
    m_controls.minimum->setText(QString::number(m_chartState.m_minimum));
    m_controls.maximum->setText(QString::number(m_chartState.m_maximum));
    m_controls.average->setText(QString::number(m_chartState.m_average));
}

QDateTime AcquisitionController::now() const {
    return m_hooks.now ? m_hooks.now() : QDateTime::currentDateTime();
}
