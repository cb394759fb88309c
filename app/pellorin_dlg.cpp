#include "pellorin_dlg.h"

#include "about_dlg.h"
#include "acquisition/acquisition_controller.h"
#include "acquisition/data_files.h"
#include "analysis/analysis_dlg.h"
#include "analysis_menu.h"
#include "app_icon.h"
#include "capture/capture_dlg.h"
#include "capture_command.h"
#include "firmware_command.h"
#include "link/chip_catalog.h"
#include "link/detection.h"
#include "link/protocol.h"
#include "main_window_layout.h"
#include "open_capture_command.h"
#include "panel_factory.h"
#include "platform/colour_chooser.h"
#include "platform/file_dialogs.h"
#include "platform/key_guard.h"
#include "platform/message_service.h"
#include "resources/main_window_ids.h"
#include "scan/scan_dlg.h"
#include "scan_command.h"
#include "stream_guard.h"
#include "system_menu.h"
#include "version_info.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace mainwindow;

namespace {
// The container's controls come right after anchor when tabbing, in their own order.
void insertTabChainAfter(QWidget *anchor, QWidget *container) {
    QList<QWidget *> focusable;
    for (QWidget *w = container->nextInFocusChain(); w != container; w = w->nextInFocusChain()) {
        if (container->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
            focusable << w;
    }
    QWidget *previous = anchor;
    for (QWidget *w : focusable) {
        QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void fillModuleList(QComboBox *list) {
    list->clear();
    for (const ChipCatalogEntry *chip = g_chipCatalog; chip->valid != -1; ++chip)
        list->addItem(QLatin1String(chip->name), chip->chipId);
    if (list->count() > 0)
        list->setCurrentIndex(0);
}

void fillGraphTypeList(QComboBox *list) {
    list->clear();
    list->addItems({QStringLiteral("Line Chart"), QStringLiteral("Gaussian distribution")});
    list->setCurrentIndex(0);
}
} // namespace

CPellorinDlg::CPellorinDlg(QWidget *parent) : QDialog(parent) {
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    m_menuBar = BuildSystemMenuBar(this, [this](int id) { OnSysCommand(id); });
    m_streams = new StreamGuard(this);
    m_captureAction = AddAnalysisMenu(
        m_menuBar, [this] { OnNoiseAndSpectrum(); }, [this] { OnContinuousCapture(); });
    // Beside the capture's own entry; "Input Scan..." stays last.
    AddOpenCaptureEntry(m_menuBar, [this] { OnOpenCapture(); });
    m_scanAction = AddInputScanEntry(m_menuBar, [this] { OnInputScan(); });
    m_client = new QWidget(this);
    const AcquisitionControls acquisitionControls = BuildMainWindowControls(m_client, m_controls);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_client);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(controlAs<QPushButton>(kDetectEvm), &QPushButton::clicked, this,
            &CPellorinDlg::OnDetectEvm);
    m_acquisition = new AcquisitionController(this, acquisitionControls, acquisitionHooks());
    platform::SwallowEscapeAndReturn(this);
    OnInitDialog();
}

CPellorinDlg::~CPellorinDlg() = default;

bool CPellorinDlg::OnInitDialog() {
    m_hIcon = AppIcon();
    setWindowIcon(m_hIcon);
    if (ReadVersionInfo(g_productVersion) != 0)
        return true;
    PrepareTitleAndFolder(QCoreApplication::applicationFilePath(), g_productVersion);
    g_saveFolder = ProposedFileFolder(g_exeDir, QDir::homePath());
    ResetChartView();
    fillModuleList(controlAs<QComboBox>(kModuleList));
    {
        // Filling the list is not a choice of the user.
        const QSignalBlocker blocker(control(kGraphType));
        fillGraphTypeList(controlAs<QComboBox>(kGraphType));
    }
    ClosePort();
    return true;
}

QString CPellorinDlg::PortLabel(int number) const {
    if (number < 1 || number > m_candidates.size())
        return QString();
    return PortLabelOf(m_candidates.at(number - 1));
}

void CPellorinDlg::ClosePort() {
    if (!m_board)
        return;
    m_board->link().close();
    m_board.reset();
}

AcquisitionHooks CPellorinDlg::acquisitionHooks() {
    AcquisitionHooks hooks;
    hooks.panelExists = [this] { return !m_pPanel.isNull(); };
    hooks.board = [this] { return m_board; };
    hooks.refreshFromChip = [this] {
        if (m_pPanel)
            m_pPanel->RefreshFromChip();
    };
    hooks.chooseSavePath = [](QWidget *owner, const QString &proposed) {
        return platform::ChooseSaveFile(
            owner, proposed,
            {QStringLiteral("Normal text file(*.txt)"), QStringLiteral("All Format(*.*)")},
            QStringLiteral("txt"));
    };
    hooks.chooseColor = [](QWidget *owner, QColor &color) {
        const std::optional<QColor> chosen = platform::ChooseColor(owner, color);
        if (chosen)
            color = *chosen;
        return chosen.has_value();
    };
    return hooks;
}

void CPellorinDlg::ResetChartView() {
    m_acquisition->ResetChartView();
    setWindowTitle(g_appTitle);
}

void CPellorinDlg::OnGraphTypeChange() {
    m_acquisition->OnGraphTypeChange();
}

void CPellorinDlg::OnDetectEvm() {
    // A capture keeps its file and closes it first, a scan puts MUX back; the detection follows
    // their end.
    if (!m_streams->clearFor(QStringLiteral("detect"), [this] { OnDetectEvm(); }))
        return;
    // An acquisition's items come on a thread of their own: the item in flight fails, as it
    // did when the port closed under it, and the port is back here before it closes.
    m_acquisition->endTransfer();
    ClosePort();
    // A panel without an open port can only be left over; it must not outlive this detection.
    RemovePanel();
    control(kStartAcquisition)->setEnabled(false);
    ResetChartView();
    m_chipId = controlAs<QComboBox>(kModuleList)->currentData().toInt();
    auto *portLabel = controlAs<QLabel>(kPortLabel);
    Detection found = DetectEvm(m_search, m_chipId);
    m_candidates = found.candidates;
    if (!found.link) {
        platform::ShowMessage(nullptr, CantFindText(m_chipId), QStringLiteral("Error"));
        portLabel->setText(QStringLiteral("Not Found"));
        return;
    }
    m_board = std::make_shared<BoardSession>(std::move(found.link));
    m_portText = PortLabel(found.number);
    portLabel->setText(m_portText);
    m_pPanel = CreateChipPanel(m_chipId, m_client);
    if (m_pPanel) {
        m_pPanel->setBoard(m_board);
        if (m_pPanel->OnInitDialog())
            PlacePanel(m_pPanel);
        else
            m_pPanel->hide(); // kept until the next detection, never shown
    }
    // A plain selection: the graph-type handler does not run.
    const QSignalBlocker blocker(control(kGraphType));
    controlAs<QComboBox>(kGraphType)->setCurrentIndex(0);
}

void CPellorinDlg::PlacePanel(CEVMDialog *panel) {
    if (!panel->testAttribute(Qt::WA_Resized))
        panel->adjustSize();
    panel->move(kPanelOrigin);
    panel->show();
    panel->raise();
    insertTabChainAfter(control(kDetectEvm), panel);
    // The scan window shows the gain the chip holds; a write or a read in the panel moves it.
    connect(panel, &CEVMDialog::chipStateChanged, this, [this] {
        if (m_scan)
            m_scan->OnPanelChanged();
    });
    showBoardHolder();
    m_captureAction->setEnabled(true);
    m_scanAction->setEnabled(true);
    if (m_analysis)
        m_analysis->OnReferenceRange(PanelFacts(panel).referenceRange);
    if (m_capture)
        m_capture->OnPanelChanged();
    if (m_scan)
        m_scan->OnPanelChanged();
}

QString CPellorinDlg::boardHolder() const {
    if (captureRunning())
        return QStringLiteral("a capture is writing %1").arg(m_capture->filePath());
    return scanRunning() ? QStringLiteral("an input scan is running") : QString();
}

void CPellorinDlg::showPortLost(const QString &why) {
    // The label is narrow: "(lost)" on it, why in its tooltip and description.
    auto *portLabel = controlAs<QLabel>(kPortLabel);
    portLabel->setText(why.isEmpty() ? m_portText : QStringLiteral("%1 (lost)").arg(m_portText));
    portLabel->setToolTip(why);
    portLabel->setAccessibleDescription(why);
}

void CPellorinDlg::showBoardHolder() {
    const QString holder = boardHolder();
    const QString why = holder.isEmpty() ? QString() : QStringLiteral("Not now: %1.").arg(holder);
    QWidget *start = control(kStartAcquisition);
    start->setEnabled(m_pPanel && holder.isEmpty());
    start->setToolTip(why);
    start->setAccessibleDescription(why);
}

void CPellorinDlg::RemovePanel() {
    m_captureAction->setEnabled(false);
    m_scanAction->setEnabled(false);
    if (!m_pPanel)
        return;
    // The panel may be the one whose handler is running below us (a message box pumps events),
    // so it is hidden now and freed once control is back in the event loop.
    CEVMDialog *panel = m_pPanel;
    m_pPanel = nullptr;
    panel->hide();
    panel->deleteLater();
    if (m_capture)
        m_capture->OnPanelChanged();
    if (m_scan)
        m_scan->OnPanelChanged();
}

void CPellorinDlg::OnSysCommand(int id) {
    switch (id & syscmd::kMask) {
    case syscmd::kLoadProfile:
        OnLoadProfile();
        break;
    case syscmd::kSaveProfile:
        OnSaveProfile();
        break;
    case syscmd::kUpdateFirmware:
        OnUpdateFirmware();
        break;
    case syscmd::kAbout:
        OnAbout();
        break;
    default:
        break;
    }
}

void CPellorinDlg::OnLoadProfile() {
    if (!m_streams->clearFor(QStringLiteral("user"), [this] { OnLoadProfile(); }))
        return;
    const QString path = platform::ChooseProfileFile(this, DefaultProfilePath(), false);
    if (!m_board || path.isEmpty() || !QFileInfo(path).isFile() || !m_pPanel)
        return;
    m_pPanel->LoadProfile(path);
    ResetChartView();
}

void CPellorinDlg::OnSaveProfile() {
    // A profile holds the chip's registers as the panel last read or wrote them, which no
    // capture or scan changes meanwhile: saving one needs nothing of the board.
    const QString path = platform::ChooseProfileFile(this, DefaultProfilePath(), true);
    if (path.isEmpty() || !m_board || !m_pPanel)
        return;
    m_pPanel->SaveProfile(path);
}

void CPellorinDlg::OnUpdateFirmware() {
    // The update restarts the board: a capture or a scan is stopped first, if the user agrees.
    // Otherwise whatever the state of the port, the panel or an acquisition: the update uses
    // none of them.
    if (!m_streams->clearFor(QStringLiteral("user"), [this] { OnUpdateFirmware(); }))
        return;
    RunUpdateFirmwareCommand(this);
}

void CPellorinDlg::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CPellorinDlg::closeEvent(QCloseEvent *event) {
    if (!m_streams->clearFor(QStringLiteral("user"), [this] { close(); })) {
        event->ignore();
        return;
    }
    // A one-shot acquisition ends as under "Detect EVM", but quietly: nobody is left to read
    // its message. What the board still sends of it is never waited for.
    m_acquisition->cancelTransfer();
    ClosePort();
    QDialog::closeEvent(event);
}
