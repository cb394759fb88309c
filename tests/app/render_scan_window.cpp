// Draws the "Input Scan" window into PNGs to look at it, for each chip against its virtual
// board at the wire's pace: before a scan, during one (a few rows in) and after it, as
// /tmp/pellorin-scan-<chip>-<before|during|after>.png, or into the folder given. The 8-channel
// scan repeats twice, so its rows carry their spread.
#include "app/main_window_layout.h"
#include "app/pellorin_dlg.h"
#include "link/serial_transport.h"
#include "platform/message_service.h"
#include "resources/main_window_ids.h"
#include "scan/scan_dlg.h"
#include "scan/scan_table.h"
#include "sim/virtual_board.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include <cstdio>

namespace {
void save(QWidget *window, const QDir &dir, const QString &name) {
    const QString path = dir.filePath(name);
    window->grab().save(path);
    std::printf("%s (%dx%d)\n", qPrintable(path), window->width(), window->height());
}

void render(sim::Chip chip, int moduleIndex, const QDir &dir) {
    const QString tag =
        chip == sim::Chip::VXC5480 ? QStringLiteral("vxc5480") : QStringLiteral("vxc5420");
    sim::VirtualBoard board(chip);
    board.setPacing(sim::Pacing::Wire);
    if (!board.start())
        return;
    CPellorinDlg dlg;
    dlg.setPortSearch({{QString::fromStdString(board.portPath())}, false});
    dlg.controlAs<QComboBox>(mainwindow::kModuleList)->setCurrentIndex(moduleIndex);
    dlg.show();
    dlg.OnDetectEvm();
    dlg.OnInputScan();
    CScanDlg *scan = dlg.scanWindow();
    scan->countSpin()->setValue(1000);
    if (chip == sim::Chip::VXC5480)
        scan->repeatsSpin()->setValue(2);
    else
        scan->inputList()->item(1)->setCheckState(Qt::Checked); // both ways round
    QApplication::processEvents();
    save(scan, dir, QStringLiteral("pellorin-scan-%1-before.png").arg(tag));
    bool during = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, scan, [&] {
        QTableWidgetItem *first = scan->table()->item(0, scan::kMeanCodesColumn);
        if (!during && first && !first->text().isEmpty()) {
            during = true;
            save(scan, dir, QStringLiteral("pellorin-scan-%1-during.png").arg(tag));
        }
    });
    watch.start(50);
    QEventLoop ended;
    QObject::connect(scan, &CScanDlg::finished, &ended, &QEventLoop::quit);
    scan->OnRun();
    if (scan->running())
        ended.exec();
    watch.stop();
    QApplication::processEvents();
    save(scan, dir, QStringLiteral("pellorin-scan-%1-after.png").arg(tag));
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp"));
    platform::MessageRecorder messages; // a message would only hold the pictures up
    render(sim::Chip::VXC5480, 0, dir);
    render(sim::Chip::VXC5420, 1, dir);
    for (const QString &text : messages.texts())
        std::printf("message: %s\n", qPrintable(text));
    return 0;
}
