// Draws the "Continuous Capture" window to PNG files, to look at it as a user would: at start,
// while a capture runs, and after a long run from the unpaced virtual board (a slow sine with
// noise, so the envelope and the recent samples both show something).
//   render_capture_window OUT_DIR [SAMPLES]   (default 2000000 samples)

#include "app/pellorin_dlg.h"
#include "capture/capture_dlg.h"
#include "link/serial_transport.h"
#include "resources/main_window_ids.h"
#include "sim/virtual_board.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_capture_window OUT_DIR [SAMPLES]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString samples = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("2000000");
    QDir().mkpath(out);

    sim::VirtualBoard board(sim::Chip::VXC5480);
    board.setPacing(sim::Pacing::None);
    sim::SignalModel signal;
    signal.sineHz = 0.05;
    signal.sineAmplitudeVolts = 0.002;
    signal.noiseVolts = 20e-6;
    board.setSignal(signal);
    if (!board.start())
        return 1;

    CPellorinDlg dlg;
    dlg.setPortSearch({{QString::fromStdString(board.portPath())}, false});
    dlg.show();
    qobject_cast<QPushButton *>(dlg.control(mainwindow::kDetectEvm))->click();
    dlg.OnContinuousCapture();
    CCaptureDlg *window = dlg.captureWindow();
    window->pathEdit()->setText(QDir(out).filePath(QStringLiteral("render_capture.h5")));
    QFile::remove(window->pathEdit()->text());
    window->setStopRule(capture::StopRule::Samples);
    window->samplesEdit()->setText(samples);
    QApplication::processEvents();
    window->grab().save(QDir(out).filePath(QStringLiteral("capture-start.png")));

    QTimer::singleShot(1500, window, [&] {
        window->refresh();
        window->grab().save(QDir(out).filePath(QStringLiteral("capture-running.png")));
    });
    // The capture runs on a thread of its own; the window's events run until it has ended.
    QEventLoop untilEnd;
    QObject::connect(window, &CCaptureDlg::finished, &untilEnd, &QEventLoop::quit);
    window->startButton()->click();
    if (window->running())
        untilEnd.exec();
    window->grab().save(QDir(out).filePath(QStringLiteral("capture-end.png")));
    std::printf("%s\n", qPrintable(window->stateLabel()->text()));
    return 0;
}
