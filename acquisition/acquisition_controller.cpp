#include "acquisition_controller.h"

#include "chart_area.h"
#include "chart_font.h"
#include "color_swatch.h"
#include "logo_view.h"
#include "samples.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>

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

constexpr int kSwatchIds[4] = {mainwindow::kScaleColor, mainwindow::kGridColor,
                               mainwindow::kDataColor, mainwindow::kBackgroundColor};
} // namespace

AcquisitionController::AcquisitionController(QWidget *window,
                                             const std::function<QWidget *(int)> &control,
                                             AcquisitionHooks hooks)
    : QObject(window), m_lineChartFont(MakeChartFont()), m_distributionFont(MakeChartFont()),
      m_logo(LoadLogo()), m_window(window), m_hooks(std::move(hooks)) {
    bind(control);
}

void AcquisitionController::bind(const std::function<QWidget *(int)> &control) {
    using namespace mainwindow;
    m_chartArea = qobject_cast<ChartArea *>(control(kChartArea));
    m_scrollBar = qobject_cast<QScrollBar *>(control(kChartScroll));
    m_graphType = qobject_cast<QComboBox *>(control(kGraphType));
    m_dataCount = qobject_cast<QLineEdit *>(control(kDataCount));
    m_start = qobject_cast<QAbstractButton *>(control(kStartAcquisition));
    m_progress = qobject_cast<QProgressBar *>(control(kProgress));
    m_minimum = qobject_cast<QLineEdit *>(control(kMinimum));
    m_maximum = qobject_cast<QLineEdit *>(control(kMaximum));
    m_average = qobject_cast<QLineEdit *>(control(kAverage));
    m_logFilePath = qobject_cast<QLineEdit *>(control(kLogPath));
    m_logoView = qobject_cast<LogoView *>(control(kLogo));
    for (int i = 0; i < 4; ++i)
        m_swatches[i] = qobject_cast<ColorSwatch *>(control(kSwatchIds[i]));

    if (m_chartArea)
        connect(m_chartArea, &ChartArea::resized, this, [this] { redrawCurrentView(); });
    if (m_scrollBar) {
        m_scrollBar->setRange(0, 0);
        m_scrollBar->setPageStep(m_view.scroll.page);
        m_scrollBar->setSingleStep(1);
        // Arrows, track clicks, drags, the keyboard and most of the bar's context menu come as
        // actions; "Scroll here" only sets the value.
        connect(m_scrollBar, &QAbstractSlider::actionTriggered, this,
                [this](int action) { OnHScroll(scrollCodeOf(action)); });
        connect(m_scrollBar, &QAbstractSlider::valueChanged, this,
                [this](int value) { onScrollValueChanged(value); });
        m_scrollBar->installEventFilter(new HorizontalKeys(m_scrollBar));
    }
    if (m_graphType)
        connect(m_graphType, &QComboBox::activated, this, [this] { OnGraphTypeChange(); });
    if (m_dataCount)
        connect(m_dataCount, &QLineEdit::textChanged, this, [this] { OnDataCountChange(); });
    if (m_start)
        connect(m_start, &QAbstractButton::clicked, this, [this] { OnStartAcquisition(); });
    if (m_progress)
        m_progress->setRange(0, 100);
    if (auto *save = qobject_cast<QAbstractButton *>(control(kSaveFile)))
        connect(save, &QAbstractButton::clicked, this, [this] { OnSaveFile(); });
    void (AcquisitionController::*handlers[4])() = {
        &AcquisitionController::OnScaleColor, &AcquisitionController::OnGridColor,
        &AcquisitionController::OnDataColor, &AcquisitionController::OnBackgroundColor};
    for (int i = 0; i < 4; ++i) {
        if (m_swatches[i])
            connect(m_swatches[i], &ColorSwatch::clicked, this, handlers[i]);
    }
    if (m_logoView)
        m_logoView->setLogo(m_logo);
}

ColorSwatch *AcquisitionController::swatch(int id) const {
    for (int i = 0; i < 4; ++i) {
        if (kSwatchIds[i] == id)
            return m_swatches[i];
    }
    return nullptr;
}

void AcquisitionController::ResetChartView() {
    g_sampleRecord.clear();
    m_colors = ChartColors();
    const QColor colors[4] = {m_colors.m_scaleColor, m_colors.m_gridColor, m_colors.m_dataColor,
                              m_colors.m_backgroundColor};
    for (int i = 0; i < 4; ++i) {
        if (m_swatches[i])
            m_swatches[i]->setColor(colors[i]);
    }
    for (QLineEdit *edit : {m_maximum.data(), m_minimum.data(), m_average.data()}) {
        if (edit)
            edit->clear();
    }
    DrawLineChart(0);
    if (m_dataCount) {
        m_dataCount->setMaxLength(5);
        m_dataCount->setText(QStringLiteral("45"));
    }
}

void AcquisitionController::showStatistics() {
    if (m_minimum)
        m_minimum->setText(QString::number(m_chartState.m_minimum));
    if (m_maximum)
        m_maximum->setText(QString::number(m_chartState.m_maximum));
    if (m_average)
        m_average->setText(QString::number(m_chartState.m_average));
}

QDateTime AcquisitionController::now() const {
    return m_hooks.now ? m_hooks.now() : QDateTime::currentDateTime();
}
