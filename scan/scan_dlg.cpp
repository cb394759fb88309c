#include "scan_dlg.h"

#include "scan_bar_plot.h"
#include "scan_report.h"
#include "scan_table.h"

#include "analysis/note_label.h"
#include "analysis/reference_edit.h"
#include "link/port_worker.h"
#include "platform/buddy_label.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QSpinBox *spin(QWidget *parent, int minimum, int maximum, int value) {
    auto *box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}
} // namespace

CScanDlg::CScanDlg(ScanWindowHooks hooks, QWidget *parent)
    : QDialog(parent), m_hooks(std::move(hooks)), m_worker(new PortWorker(this)) {
    setWindowTitle(tr("Input Scan"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setModal(false);

    auto *side = new QWidget(this);
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(buildInputs(), 1);
    sideLayout->addWidget(buildSettings());
    auto *buttons = new QHBoxLayout;
    m_run = new QPushButton(tr("&Run"), side);
    m_stop = new QPushButton(tr("S&top"), side);
    m_export = new QPushButton(tr("&Export..."), side);
    for (QPushButton *button : {m_run, m_stop, m_export}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    sideLayout->addLayout(buttons);
    m_progress = new QLabel(side);
    m_state = new QLabel(side);
    m_state->setWordWrap(true);
    m_state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    sideLayout->addWidget(m_progress);
    sideLayout->addWidget(m_state);

    m_table = new QTableWidget(0, scan::kScanColumnCount, this);
    m_table->setAccessibleName(tr("Scan results"));
    // Units on a line of their own keep the columns narrow.
    QStringList headings = scan::ScanHeadings();
    for (QString &heading : headings) {
        heading.replace(QStringLiteral(" ("), QStringLiteral("\n("));
        heading.replace(QStringLiteral(" resolution"), QStringLiteral("\nresolution"));
    }
    m_table->setHorizontalHeaderLabels(headings);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setWordWrap(false);
    m_plot = new ScanBarPlot(this);
    auto *results = new QSplitter(Qt::Vertical, this);
    results->setChildrenCollapsible(false);
    results->addWidget(m_table);
    results->addWidget(m_plot);
    results->setStretchFactor(0, 3);
    results->setStretchFactor(1, 2);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(side);
    layout->addWidget(results, 1);
    resize(1260, 640);

    connect(m_run, &QPushButton::clicked, this, &CScanDlg::OnRun);
    connect(m_worker, &PortWorker::finished, this, &CScanDlg::onScanEnded);
    connect(m_stop, &QPushButton::clicked, this, &CScanDlg::OnStop);
    connect(m_export, &QPushButton::clicked, this, &CScanDlg::OnExport);
    setTabOrder(m_export, m_table);
    setTabOrder(m_table, m_plot);
    setRunning(false);
    OnPanelChanged();
}

CScanDlg::~CScanDlg() {
    // The scan's thread uses this window's members: it ends before they go.
    m_stopRequested = true;
    delete m_worker;
    // An edit losing its focus while the children go would call back into a half-gone window.
    m_reference->disconnect(this);
    m_discard->disconnect(this);
}

QWidget *CScanDlg::buildInputs() {
    auto *box = new QGroupBox(tr("Inputs"));
    auto *layout = new QVBoxLayout(box);
    m_inputSet = new QButtonGroup(box);
    const std::pair<InputSet, QString> sets[] = {
        {InputSet::SingleEnded, tr("&Single-ended, each against the common input")},
        {InputSet::Pairs, tr("Differential &pairs")},
        {InputSet::ByHand, tr("Ticked by &hand")},
    };
    for (const auto &[set, caption] : sets) {
        auto *button = new QRadioButton(caption, box);
        m_inputSet->addButton(button, int(set));
        layout->addWidget(button);
        m_settingsControls << button;
    }
    connect(m_inputSet, &QButtonGroup::idClicked, this,
            [this](int id) { chooseInputSet(InputSet(id)); });
    auto *listLabel = new QLabel(tr("&Inputs to scan (AIN+ and AIN-)"), box);
    m_inputList = new QListWidget(box);
    listLabel->setBuddy(m_inputList);
    m_inputList->setAccessibleName(tr("Inputs to scan"));
    layout->addWidget(listLabel);
    layout->addWidget(m_inputList, 1);
    m_settingsControls << m_inputList;
    connect(m_inputList, &QListWidget::itemChanged, this, &CScanDlg::onItemTicked);
    return box;
}

QWidget *CScanDlg::buildSettings() {
    auto *box = new QGroupBox(tr("Settings"));
    auto *form = new QFormLayout(box);
    auto addField = [&](const QString &caption, QWidget *field) {
        form->addRow(platform::BuddyLabel(caption, field, box), field);
        m_settingsControls << field;
    };
    m_count = spin(box, 1, scan::kMaxScanItems, scan::kDefaultScanCount);
    m_discard = spin(box, 0, scan::kMaxScanItems - 1, 0);
    m_repeats = spin(box, 1, scan::kMaxScanRepeats, 1);
    m_discard->setToolTip(tr("Thrown away at the start of each input, while the chip's digital "
                             "filter settles after the switch; the chip's settling at its data "
                             "rate until set here"));
    connect(m_discard, &QSpinBox::valueChanged, this, [this] {
        if (!m_settingDiscard)
            m_discardGiven = true;
    });
    m_reference = new ReferenceEdit(box);
    m_gain = new QLineEdit(box);
    m_gain->setReadOnly(true);
    addField(tr("Samples per i&nput"), m_count);
    addField(tr("&Discarded after each switch"), m_discard);
    addField(tr("Re&peats"), m_repeats);
    addField(tr("Re&ference (V)"), m_reference);
    addField(tr("PGA &gain (on the chip)"), m_gain);
    m_gain->setToolTip(tr("The gain the chip's registers hold, as the panel last read or wrote "
                          "them; a gain chosen in the panel counts once written"));
    m_settingsControls.removeOne(m_gain);
    connect(m_reference, &ReferenceEdit::referenceChanged, this, &CScanDlg::showRows);
    connect(m_reference, &ReferenceEdit::refused, this, &CScanDlg::showState);
    return box;
}

void CScanDlg::OnPanelChanged() {
    const std::optional<ScanPanelFacts> facts =
        m_hooks.panelFacts ? m_hooks.panelFacts() : std::nullopt;
    const panel_common::MuxLayout *layout = facts ? facts->mux : nullptr;
    if (facts && !m_running)
        showFacts(facts->facts);
    if (layout != m_layout) {
        m_layout = layout;
        fillInputList();
        m_outcome = {};
        showRows();
    }
    if (!m_running)
        showState(m_layout ? tr("Choose the inputs and press Run.")
                           : tr("No chip panel: press \"Detect EVM\" in the main window."));
    setRunning(m_running);
}

void CScanDlg::fillInputList() {
    m_ticking = true;
    m_inputList->clear();
    const bool common = m_layout && m_layout->commonInput >= 0;
    auto *single = inputSetButton(InputSet::SingleEnded);
    single->setText(common ? tr("&Single-ended, each against %1")
                                 .arg(panel_common::InputName(*m_layout, m_layout->commonInput))
                           : tr("&Single-ended (this chip has no common input)"));
    single->setEnabled(common);
    if (m_layout) {
        for (const scan::ScanInput &input : scan::InputChoices(*m_layout)) {
            auto *item = new QListWidgetItem(scan::InputLabel(*m_layout, input), m_inputList);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            item->setCheckState(Qt::Unchecked);
            item->setData(Qt::UserRole, QPoint(input.positive, input.negative));
        }
    }
    m_ticking = false;
    chooseInputSet(common ? InputSet::SingleEnded : InputSet::Pairs);
}

QRadioButton *CScanDlg::inputSetButton(InputSet set) const {
    return static_cast<QRadioButton *>(m_inputSet->button(int(set)));
}

void CScanDlg::chooseInputSet(InputSet set) {
    inputSetButton(set)->setChecked(true);
    if (set == InputSet::ByHand || !m_layout)
        return;
    const std::vector<scan::ScanInput> chosen = set == InputSet::SingleEnded
                                                    ? scan::SingleEndedInputs(*m_layout)
                                                    : scan::PairInputs(*m_layout);
    m_ticking = true;
    for (int i = 0; i < m_inputList->count(); ++i) {
        QListWidgetItem *item = m_inputList->item(i);
        const QPoint pair = item->data(Qt::UserRole).toPoint();
        const bool ticked = std::find(chosen.begin(), chosen.end(),
                                      scan::ScanInput{pair.x(), pair.y()}) != chosen.end();
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
    m_ticking = false;
}

void CScanDlg::onItemTicked(QListWidgetItem *) {
    if (!m_ticking)
        inputSetButton(InputSet::ByHand)->setChecked(true);
}

std::vector<scan::ScanInput> CScanDlg::tickedInputs() const {
    std::vector<scan::ScanInput> inputs;
    for (int i = 0; i < m_inputList->count(); ++i) {
        const QListWidgetItem *item = m_inputList->item(i);
        if (item->checkState() == Qt::Checked) {
            const QPoint pair = item->data(Qt::UserRole).toPoint();
            inputs.push_back({pair.x(), pair.y()});
        }
    }
    return inputs;
}

void CScanDlg::done(int result) {
    // Closing the window ends a running scan; MUX is put back as after Stop.
    RequestStop();
    QDialog::done(result);
}

void CScanDlg::RequestStop() {
    if (!m_running || m_stopRequested)
        return;
    m_stopRequested = true;
    ShowNote(m_progress, tr("Stopping after the input in flight..."), tr("Progress"));
}

void CScanDlg::OnStop() {
    RequestStop();
}

void CScanDlg::setRunning(bool running) {
    m_running = running;
    for (QWidget *control : m_settingsControls)
        control->setEnabled(!running);
    if (!running && !(m_layout && m_layout->commonInput >= 0))
        inputSetButton(InputSet::SingleEnded)->setEnabled(false);
    // The focus goes to the button in use: Stop while the scan runs, Run after it.
    QWidget *focus = QApplication::focusWidget();
    const bool focused = focus && isAncestorOf(focus);
    m_run->setEnabled(!running && m_layout);
    m_stop->setEnabled(running);
    const bool measured =
        std::any_of(m_outcome.rows.begin(), m_outcome.rows.end(),
                    [](const scan::ScanRow &row) { return !row.repeats.empty(); });
    m_export->setEnabled(!running && measured);
    if (focused)
        (running ? m_stop : m_run)->setFocus();
}

void CScanDlg::showFacts(const conversion::ConversionFacts &facts) {
    m_facts = facts;
    m_reference->setRange(facts.referenceRange);
    m_gain->setText(facts.pgaGain > 0 ? QString::number(facts.pgaGain, 'g', 9) : QString());
    if (!m_discardGiven) {
        m_settingDiscard = true;
        m_discard->setValue(scan::DefaultDiscard(facts));
        m_settingDiscard = false;
    }
}

void CScanDlg::showState(const QString &text) {
    ShowNote(m_state, text, tr("State"));
}

double CScanDlg::lsbVolts() const {
    return scan::ScanVoltsPerCode(m_reference->applyTo(m_facts));
}
