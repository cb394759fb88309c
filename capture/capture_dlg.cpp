#include "capture_dlg.h"

#include "analysis/doubtful_mark.h"
#include "analysis/reference_edit.h"
#include "duration_text.h"
#include "file_names.h"
#include "readout_text.h"
#include "strip_chart.h"

#include "link/board_session.h"
#include "link/port_worker.h"
#include "platform/buddy_label.h"
#include "platform/message_service.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

using namespace capture;

namespace {
// Five times a second: the figures and the chart move at least four times a second.
constexpr int kRefreshMs = 200;
const QString kAutoBlock = QStringLiteral("auto");

QLineEdit *durationField(QWidget *parent, const QString &text) {
    auto *edit = new QLineEdit(text, parent);
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\d{0,6}(:[0-5]?\\d?(:[0-5]?\\d?)?)?")), edit));
    edit->setMaximumWidth(110);
    return edit;
}
} // namespace

CCaptureDlg::CCaptureDlg(CaptureWindowHooks hooks, QWidget *parent)
    : QDialog(parent), m_hooks(std::move(hooks)) {
    setWindowTitle(tr("Continuous Capture"));
    setModal(false);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto *side = new QWidget(this);
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(buildSettings());
    auto *buttons = new QHBoxLayout;
    m_start = new QPushButton(tr("&Start"), side);
    m_stop = new QPushButton(tr("S&top"), side);
    buttons->addWidget(m_start);
    buttons->addWidget(m_stop);
    buttons->addStretch();
    sideLayout->addLayout(buttons);
    m_state = new QLabel(side);
    m_state->setWordWrap(true);
    m_state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_state->setMinimumHeight(40);
    sideLayout->addWidget(m_state);
    sideLayout->addWidget(buildReadouts());
    m_wireNote = new QLabel(side);
    m_wireNote->setWordWrap(true);
    m_wireNote->hide();
    sideLayout->addWidget(m_wireNote);
    sideLayout->addStretch();

    m_chart = new CaptureStripChart(this);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(side);
    layout->addWidget(m_chart, 1);

    m_worker = std::make_unique<PortWorker>();
    connect(m_worker.get(), &PortWorker::finished, this, &CCaptureDlg::onWorkerFinished);
    m_refresh = new QTimer(this);
    m_refresh->setInterval(kRefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &CCaptureDlg::refresh);
    connect(m_start, &QPushButton::clicked, this, &CCaptureDlg::OnStart);
    connect(m_stop, &QPushButton::clicked, this, &CCaptureDlg::OnStop);
    connect(m_browse, &QPushButton::clicked, this, &CCaptureDlg::OnBrowse);
    // The name's suffix and the format agree whichever of them the user changes.
    connect(m_format, &QComboBox::currentIndexChanged, this,
            [this] { m_path->setText(PathForFormat(m_path->text(), chosenFormat())); });
    connect(m_path, &QLineEdit::editingFinished, this, &CCaptureDlg::followPathFormat);
    connect(m_path, &QLineEdit::textChanged, this, &CCaptureDlg::showIdleState);
    setRunning(false);
    showIdleState();
    refresh();
    resize(1100, 680);
}

CCaptureDlg::~CCaptureDlg() {
    // A capture still running below a closing window stops at its next item, keeps its file and
    // leaves the rest of its block on the line; the worker's thread is waited for.
    if (m_engine) {
        m_engine->requestStop(QStringLiteral("user"));
        m_engine->abortDrain();
    }
    m_worker.reset();
}

bool CCaptureDlg::running() const {
    return m_worker && m_worker->running();
}

QString CCaptureDlg::filePath() const {
    const QString path = m_engine ? m_engine->snapshot().filePath : QString();
    return path.isEmpty() ? m_firstPath : path;
}

QWidget *CCaptureDlg::buildSettings() {
    auto *box = new QGroupBox(tr("Settings"));
    auto *grid = new QGridLayout(box);
    m_path = new QLineEdit(box);
    m_browse = new QPushButton(tr("&Browse..."), box);
    grid->addWidget(platform::BuddyLabel(tr("&File"), m_path, box), 0, 0);
    grid->addWidget(m_path, 0, 1, 1, 2);
    grid->addWidget(m_browse, 0, 3);
    m_format = new QComboBox(box);
    m_format->addItem(tr("HDF5 (.h5)"), int(FileFormat::Hdf5));
    m_format->addItem(tr("CSV (.csv)"), int(FileFormat::Csv));
    grid->addWidget(platform::BuddyLabel(tr("F&ormat"), m_format, box), 1, 0);
    grid->addWidget(m_format, 1, 1);
    // A plain edit, not a spin box: a screen reader reads an edit's value, not a spin box's
    // inner one. "auto" sizes the blocks by time, about a second of conversions each.
    m_block = new QLineEdit(kAutoBlock, box);
    m_block->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("auto|\\d{0,5}")), m_block));
    m_block->setMaximumWidth(110);
    grid->addWidget(platform::BuddyLabel(tr("B&lock size (items)"), m_block, box), 2, 0);
    grid->addWidget(m_block, 2, 1);

    m_stopRule = new QButtonGroup(box);
    auto *byHand = new QRadioButton(tr("Stop by &hand"), box);
    auto *afterTime = new QRadioButton(tr("Stop after a &duration (H:MM:SS)"), box);
    auto *afterSamples = new QRadioButton(tr("Stop after a number of s&amples"), box);
    m_stopRule->addButton(byHand, int(StopRule::ByHand));
    m_stopRule->addButton(afterTime, int(StopRule::Duration));
    m_stopRule->addButton(afterSamples, int(StopRule::Samples));
    byHand->setChecked(true);
    m_duration = durationField(box, QStringLiteral("1:00:00"));
    m_duration->setAccessibleName(tr("Duration (H:MM:SS)"));
    m_samples = new QLineEdit(QStringLiteral("1000000"), box);
    m_samples->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\d{1,15}")), m_samples));
    m_samples->setAccessibleName(tr("Number of samples"));
    m_samples->setMaximumWidth(110);
    grid->addWidget(byHand, 3, 0, 1, 2);
    grid->addWidget(afterTime, 4, 0, 1, 2);
    grid->addWidget(m_duration, 4, 2);
    grid->addWidget(afterSamples, 5, 0, 1, 2);
    grid->addWidget(m_samples, 5, 2);
    m_split = new QCheckBox(tr("Start a new file e&very (H:MM:SS)"), box);
    m_splitInterval = durationField(box, QStringLiteral("1:00:00"));
    m_splitInterval->setAccessibleName(tr("New file interval (H:MM:SS)"));
    grid->addWidget(m_split, 6, 0, 1, 2);
    grid->addWidget(m_splitInterval, 6, 2);
    // A USB bridge that resets comes back within seconds: the night goes on.
    m_reconnect = new QCheckBox(tr("&Wait for a lost board up to (H:MM:SS)"), box);
    m_reconnect->setChecked(true);
    m_reconnectWithin = durationField(box, QStringLiteral("0:10:00"));
    m_reconnectWithin->setAccessibleName(tr("Wait for a lost board up to (H:MM:SS)"));
    grid->addWidget(m_reconnect, 7, 0, 1, 2);
    grid->addWidget(m_reconnectWithin, 7, 2);
    m_settingsControls = {m_path,          m_browse,    m_format,         m_block,   byHand,
                          afterTime,       m_duration,  afterSamples,     m_samples, m_split,
                          m_splitInterval, m_reconnect, m_reconnectWithin};
    addReferenceField(grid, 8);
    return box;
}

QWidget *CCaptureDlg::buildReadouts() {
    auto *box = new QGroupBox(tr("Run"));
    auto *form = new QFormLayout(box);
    const QString captions[] = {tr("Elapsed"),
                                tr("Samples written"),
                                tr("Sample rate, last 10 s"),
                                tr("File size"),
                                tr("Dead time"),
                                tr("Longest gap"),
                                tr("Last block mean"),
                                tr("Last block standard deviation"),
                                tr("Drift since the start"),
                                tr("Board lost"),
                                tr("Clipped samples")};
    for (const QString &caption : captions) {
        auto *edit = new QLineEdit(box);
        edit->setReadOnly(true);
        edit->setMinimumWidth(220);
        form->addRow(platform::BuddyLabel(caption, edit, box), edit);
        m_readouts.push_back(edit);
    }
    m_readouts[9]->setToolTip(tr("Times the board was lost and came back, and how long it was "
                                 "away in all: the files record each gap"));
    m_readouts.back()->setToolTip(tr("Samples at either code limit (-8388608 or 8388607): the "
                                     "input may have been beyond the range there"));
    return box;
}

void CCaptureDlg::setStopRule(StopRule rule) {
    m_stopRule->button(int(rule))->setChecked(true);
}

QString CCaptureDlg::settingsFromControls(CaptureSettings &settings) const {
    settings.path = m_path->text().trimmed();
    settings.format = chosenFormat();
    const QString block = m_block->text().trimmed();
    const bool automatic = block.isEmpty() || block == kAutoBlock;
    settings.blockItems = automatic ? kAutoBlockItems : block.toInt();
    settings.stop = static_cast<StopRule>(m_stopRule->checkedId());
    if (m_reconnect->isChecked()) {
        settings.reconnectWithinMs = ParseDuration(m_reconnectWithin->text());
        if (settings.reconnectWithinMs <= 0)
            return tr("The wait for a lost board must be H:MM:SS and more than 0.");
    }
    if (settings.path.isEmpty())
        return tr("Choose the file to write (Browse...).");
    if (!automatic && (settings.blockItems < 1 || settings.blockItems > kMaxBlockItems))
        return tr("The block size must be auto or 1 to %1 items.").arg(kMaxBlockItems);
    if (settings.stop == StopRule::Duration) {
        settings.durationMs = ParseDuration(m_duration->text());
        if (settings.durationMs <= 0)
            return tr("The duration must be H:MM:SS and more than 0.");
    }
    if (settings.stop == StopRule::Samples) {
        settings.samples = m_samples->text().toLongLong();
        if (settings.samples < 1)
            return tr("The number of samples must be 1 or more.");
    }
    if (m_split->isChecked()) {
        settings.splitMs = ParseDuration(m_splitInterval->text());
        if (settings.splitMs <= 0)
            return tr("The new-file interval must be H:MM:SS and more than 0.");
    }
    // Every file the run may write; an existing one is the user's to replace (OnStart asks).
    const platform::FileError refused =
        CheckCapturePaths(settings.path, settings.splitMs > 0, true);
    return refused.failed() ? refused.text() : QString();
}

void CCaptureDlg::OnStart() {
    if (running())
        return;
    followPathFormat();
    CaptureSettings settings;
    if (const QString problem = settingsFromControls(settings); !problem.isEmpty()) {
        setState(problem);
        return;
    }
    if (!mayReplace(settings))
        return;
    BoardSession *board = m_hooks.board ? m_hooks.board() : nullptr;
    if (board && board->busy().any()) {
        setState(tr("The board is busy with another operation; try again when it ends."));
        return;
    }
    const std::optional<CaptureFacts> facts = board && m_hooks.factsFromPanel
                                                  ? m_hooks.factsFromPanel(m_reference->given())
                                                  : std::nullopt;
    // The facts re-read the chip, which may have told a failure: the board may be gone since.
    board = m_hooks.board ? m_hooks.board() : nullptr;
    if (!facts || !board) {
        setState(tr("No board: press \"Detect EVM\" in the main window first."));
        return;
    }
    // Held here, on the thread the panels read them on, until the worker has ended.
    BusyFlags &flags = board->busy();
    m_board = std::make_unique<BusyGuard>(
        flags.acquiring,
        std::initializer_list<const int *>{&flags.registerBusy, &flags.calibrating});
    if (!*m_board) {
        m_board.reset();
        setState(tr("The board is busy with another operation; try again when it ends."));
        return;
    }
    m_voltsPerCode = conversion::ClaimedVoltsPerCode(facts->conversion);
    m_firstPath = PartPath(settings.path, 1, settings.splitMs > 0);
    m_live.clear();
    m_shownSamples = 0;
    m_stopAsked = false;
    CaptureHooks hooks;
    hooks.onWritten = [this](std::span<const int32_t> codes) { m_live.add(codes); };
    if (m_hooks.restoreFor)
        hooks.restoreBoard = m_hooks.restoreFor(*facts);
    m_engine = std::make_unique<CaptureEngine>(*board, settings, *facts, hooks);
    CaptureEngine *engine = m_engine.get();
    m_worker->start(board->link(), [this, engine] { m_jobResult = engine->stream(); });
    setRunning(true);
    showCapturingTo(m_firstPath);
    emit started();
    const QString note = WireLimitNote(facts->conversion.dataRateSps);
    m_wireNote->setText(note);
    m_wireNote->setAccessibleName(note);
    m_wireNote->setVisible(!note.isEmpty());
    refresh();
}

void CCaptureDlg::onWorkerFinished() {
    m_result = m_jobResult;
    m_board.reset();
    refresh();
    setRunning(false);
    showResult(m_result);
    // The engine shows nothing; a fault is told here, before whatever waited for the end runs.
    if (const QString fault = FaultMessage(m_result); !fault.isEmpty())
        platform::ShowMessage(this, fault, QStringLiteral("Error !"));
    emit finished(m_result);
}

void CCaptureDlg::setState(const QString &text) {
    // A screen reader reads the note with its caption, as the analysis window's.
    m_state->setText(text);
    m_state->setAccessibleName(tr("State: %1").arg(text));
}

void CCaptureDlg::OnStop() {
    StopFor(QStringLiteral("user"));
}

void CCaptureDlg::StopFor(const QString &reason) {
    if (!running())
        return;
    m_engine->requestStop(reason);
    m_stopAsked = true;
    m_stop->setEnabled(false);
    setState(tr("Stopping..."));
}

void CCaptureDlg::setRunning(bool running) {
    for (QWidget *control : std::as_const(m_settingsControls))
        control->setEnabled(!running);
    m_start->setEnabled(!running);
    m_stop->setEnabled(running);
    if (running)
        m_refresh->start();
    else
        m_refresh->stop();
}

void CCaptureDlg::refresh() {
    ++m_refreshes;
    const CaptureProgress progress = m_engine ? m_engine->snapshot() : CaptureProgress{};
    const ReadoutTexts texts = MakeReadouts(progress, m_voltsPerCode);
    const QString values[] = {texts.elapsed,   texts.samples,        texts.rate,
                              texts.fileSize,  texts.deadTotal,      texts.deadLongest,
                              texts.blockMean, texts.blockDeviation, texts.drift,
                              texts.losses,    texts.clipped};
    for (size_t i = 0; i < m_readouts.size(); ++i)
        m_readouts[i]->setText(values[i]);
    markClipped(progress.clippedSamples > 0);
    if (progress.waitingForBoard && !m_stopAsked) {
        if (!m_lossShown) {
            m_lossShown = true;
            setState(tr("Board lost at %1 (%2); waiting for it to come back.")
                         .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")),
                              progress.lossCause));
            emit boardLost(progress.lossCause);
        }
    } else if (m_lossShown && running()) {
        m_lossShown = false;
        showCapturingTo(progress.filePath);
        emit boardBack();
    }
    if (progress.stopping)
        setState(tr("Stopping: the board is finishing its block, %n item(s) left.", nullptr,
                    static_cast<int>(progress.drainItemsLeft)));
    else if (running() && !m_stopAsked && !progress.filePath.isEmpty() &&
             progress.filePath != m_statePath)
        showCapturingTo(progress.filePath); // a split began the next file
    // The chart only when samples came: the copy and the repaint cost nothing otherwise.
    const uint64_t samples = m_live.samples();
    if (samples != m_shownSamples || samples == 0) {
        m_shownSamples = samples;
        m_chart->showRun(m_live.copy());
    }
}

void CCaptureDlg::showResult(const CaptureResult &result) {
    const QString file = filePath();
    QString text = tr("Stopped (%1): %2 samples in %3 file(s), the last %4.")
                       .arg(result.stoppedBy)
                       .arg(result.samples)
                       .arg(result.files)
                       .arg(file);
    setState(text);
}

void CCaptureDlg::showCapturingTo(const QString &path) {
    m_statePath = path;
    setState(tr("Capturing to %1 in blocks of %n item(s).", nullptr,
                m_engine ? m_engine->blockItems() : 0)
                 .arg(path));
}

void CCaptureDlg::markClipped(bool clipped) {
    if (clipped == m_clippedShown)
        return;
    m_clippedShown = clipped;
    MarkDoubtful(m_readouts.back(), clipped,
                 tr("Samples clipped: the figures of the run are in doubt"));
}
