#pragma once
// The main window: module list and "Detect EVM", the chip panel on the left, the chart and its
// controls on the right, and the command menu.

#include "link/board_session.h"
#include "link/serial_transport.h"
#include "panel_common/evm_dialog.h"
#include "platform/control_registry.h"

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QPointer>

#include <memory>

class AcquisitionController;
class CAnalysisDlg;
class CCaptureDlg;
class CScanDlg;
class CRunAnalysisDlg;
class StreamGuard;
struct AcquisitionHooks;
class QAction;
class QMenuBar;

class CPellorinDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CPellorinDlg(QWidget *parent = nullptr);
    ~CPellorinDlg() override;

    QWidget *control(int id) const { return m_controls.control(id); }
    template <typename T> T *controlAs(int id) const { return m_controls.as<T>(id); }
    QMenuBar *commandMenuBar() const { return m_menuBar; }
    // The area the chip panel is a child of; the panel sits at (15, 55) in it.
    QWidget *clientArea() const { return m_client; }
    // The acquisition and chart side of the window.
    AcquisitionController *acquisition() const { return m_acquisition; }

    // Where "Detect EVM" looks: the ports given on the command line first, then the system's.
    void setPortSearch(PortSearch search) { m_search = std::move(search); }
    const PortSearch &portSearch() const { return m_search; }
    // The board the window drives now (its link and busy flags), or null: the window's view of
    // "the" port and chip id. Nothing below the window reaches for it.
    BoardSession *currentBoard() const { return m_board.get(); }
    // The chip id taken from the module list at the last "Detect EVM".
    int chipId() const { return m_chipId; }
    // The candidates of the last "Detect EVM", numbered from 1 (the port label shows one).
    QString PortLabel(int number) const;

    void OnDetectEvm();
    void OnSysCommand(int id);
    void OnLoadProfile();
    void OnSaveProfile();
    void OnUpdateFirmware();
    void OnAbout();
    // "Noise and Spectrum...": shows the analysis window, made on first use.
    void OnNoiseAndSpectrum();
    CAnalysisDlg *analysisWindow() const;
    // "Continuous Capture...": shows the capture window, made on first use.
    void OnContinuousCapture();
    CCaptureDlg *captureWindow() const { return m_capture; }
    QAction *captureAction() const { return m_captureAction; }
    bool captureRunning() const;
    // "Input Scan...": shows the scan window, made on first use.
    void OnInputScan();
    CScanDlg *scanWindow() const { return m_scan; }
    bool scanRunning() const;
    // "Open Capture...": asks for a capture file and shows it in the capture analysis window,
    // made on first use.
    void OnOpenCapture();
    CRunAnalysisDlg *runAnalysisWindow() const { return m_runAnalysis; }
    void OnGraphTypeChange();
    // Empties the chart and its statistics and restores the data count and the title.
    void ResetChartView();

    QIcon m_hIcon;
    // The current chip panel; null when there is none.
    QPointer<CEVMDialog> m_pPanel;

    // What asks before a running capture or scan is cut short.
    StreamGuard *streamGuard() const { return m_streams; }

  protected:
    // A running capture or scan is stopped first, if the user agrees (the capture keeps its
    // file, the scan puts MUX back); the window closes once it has ended.
    void closeEvent(QCloseEvent *event) override;

  private:
    bool OnInitDialog();
    AcquisitionHooks acquisitionHooks();
    void RemovePanel();
    // Closes the current board's link (an exchange still under way below fails as on a closed
    // port); the panel, if any, keeps the closed board until it goes.
    void ClosePort();
    void PlacePanel(CEVMDialog *panel);
    // What has the board now ("a capture is writing FILE", "an input scan is running"), or "".
    QString boardHolder() const;
    // "Start get ADC data" only while a panel is there and no capture or scan has the board;
    // while one has it, the button says why.
    void showBoardHolder();
    // The port label: the port detected, and why it is lost when it is (empty: it is not).
    void showPortLost(const QString &why);

    platform::ControlRegistry m_controls;
    QWidget *m_client = nullptr;
    QMenuBar *m_menuBar = nullptr;
    AcquisitionController *m_acquisition = nullptr;
    QPointer<CAnalysisDlg> m_analysis;
    CCaptureDlg *m_capture = nullptr; // a child of the window, made on first use
    QAction *m_captureAction = nullptr;
    CScanDlg *m_scan = nullptr;               // a child of the window, made on first use
    CRunAnalysisDlg *m_runAnalysis = nullptr; // a child of the window, made on first use
    QAction *m_scanAction = nullptr;
    StreamGuard *m_streams = nullptr;
    PortSearch m_search;
    QString m_portText; // the port label as the detection left it
    std::shared_ptr<BoardSession> m_board;
    int m_chipId = 0;
    QStringList m_candidates;
};
