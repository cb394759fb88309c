#pragma once
// The application object: answers --help and --version without a display, then owns the
// QApplication, installs the message presenter, reads the command line, starts the virtual
// board when asked, and runs the main window.

#include <QString>
#include <QStringList>

#include <memory>

class CPellorinDlg;
class QApplication;
namespace sim {
class VirtualBoard;
}
namespace firmware {
class SimulatedTransport;
}

class CPellorinApp {
  public:
    CPellorinApp(int &argc, char **argv);
    ~CPellorinApp();
    CPellorinApp(const CPellorinApp &) = delete;
    CPellorinApp &operator=(const CPellorinApp &) = delete;

    // False when the program should end at once; exitCode() then says how.
    bool InitInstance();
    // Runs the main window until it is closed; returns the exit code.
    int Run();
    // What the window is given before it shows: the module of the simulated chip selected.
    void PrepareWindow(CPellorinDlg &dialog) const;
    int exitCode() const { return m_exitCode; }

  private:
    int &m_argc;
    char **m_argv;
    std::unique_ptr<QApplication> m_application;
    std::unique_ptr<sim::VirtualBoard> m_board;
    std::unique_ptr<firmware::SimulatedTransport> m_updateDevice;
    int m_exitCode = 0;
    bool m_detectAndQuit = false;
    QString m_simulatedChip; // empty when no virtual board was asked for
    QStringList m_ports;     // --port paths (and the virtual board's), searched before the system's
};
