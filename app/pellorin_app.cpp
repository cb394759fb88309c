#include "pellorin_app.h"

#include "command_line.h"
#include "detect_and_quit.h"
#include "firmware/firmware_image.h"
#include "firmware/hid_device.h"
#include "firmware/simulated_transport.h"
#include "pellorin_dlg.h"
#include "platform/message_presenter.h"
#include "sim/virtual_board.h"
#include "simulate/simulated_board.h"
#include "start_module.h"

#include <QApplication>

#include <cstdio>

CPellorinApp::CPellorinApp(int &argc, char **argv) : m_argc(argc), m_argv(argv) {}

CPellorinApp::~CPellorinApp() {
    // The window and its port have gone before the board that serves it.
    m_board.reset();
    firmware::SetHidTransport(nullptr);
    m_updateDevice.reset();
    firmware::ClearImageForRun();
}

bool CPellorinApp::InitInstance() {
    switch (PrintOnlyRequest(m_argc, m_argv)) {
    case PrintOnly::Help:
        std::fputs(qPrintable(CommandLineUsage()), stdout);
        return false;
    case PrintOnly::Version:
        std::printf("%s\n", qPrintable(VersionLine()));
        return false;
    case PrintOnly::None:
        break;
    }
    m_application = std::make_unique<QApplication>(m_argc, m_argv);
    QApplication::setApplicationName(QStringLiteral("Pellorin"));
    // Lets the desktop match the window to the installed entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("org.pellorin.Pellorin"));
    platform::InstallMessagePresenter();
    const StartOptions options = ParseCommandLine(QApplication::arguments().mid(1));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "Pellorin: %s\n", qPrintable(options.error));
        std::fputs(qPrintable(CommandLineUsage()), stderr);
        m_exitCode = 2;
        return false;
    }
    if (!options.firmwareImage.isEmpty())
        firmware::SetImagePathForRun(options.firmwareImage);
    QStringList ports = options.ports;
    if (options.simulate) {
        m_updateDevice = InstallSimulatedUpdateDevice(!options.firmwareImage.isEmpty());
        m_board = StartSimulatedBoard(options.simulatedChip, options.pacing, options.sineHz,
                                      options.sineVolts);
        if (!m_board) {
            m_exitCode = 1;
            return false;
        }
        ports.prepend(SimulatedBoardPort(*m_board));
    }
    m_ports = ports;
    m_detectAndQuit = options.detectAndQuit;
    m_simulatedChip = options.simulate ? options.simulatedChip : QString();
    return true;
}

void CPellorinApp::PrepareWindow(CPellorinDlg &dialog) const {
    dialog.setPortSearch({m_ports, true});
    SelectStartModule(dialog, m_simulatedChip);
}

int CPellorinApp::Run() {
    CPellorinDlg dialog;
    PrepareWindow(dialog);
    if (m_detectAndQuit)
        return RunDetectAndQuit(dialog, m_simulatedChip);
    dialog.exec();
    return m_exitCode;
}
