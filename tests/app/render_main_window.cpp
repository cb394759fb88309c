// Draws the main window into PNGs to look at the layout (default /tmp/pellorin-main.png), then
// again after a detection against a virtual board with a dummy panel in the panel's place
// (/tmp/pellorin-main-detected.png), and the about box (/tmp/pellorin-about.png).
#include "app/about_dlg.h"
#include "app/evm_dialog.h"
#include "app/panel_factory.h"
#include "app/pellorin_dlg.h"
#include "link/serial_transport.h"
#include "platform/message_service.h"
#include "sim/virtual_board.h"

#include <QApplication>
#include <QFrame>
#include <QPixmap>
#include <QVBoxLayout>

#include <cstdio>

namespace {
bool save(QWidget &widget, const QString &path) {
    widget.show();
    QApplication::processEvents();
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(path), widget.width(), widget.height());
    return true;
}

CEVMDialog *dummyPanel(int, QWidget *parent) {
    auto *panel = new CEVMDialog(parent);
    auto *frame = new QFrame(panel);
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    (new QVBoxLayout(panel))->addWidget(frame);
    panel->setFixedSize(336, 420);
    return panel;
}
} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/pellorin-main.png");
    CPellorinDlg dlg;
    if (!save(dlg, out))
        return 1;

    sim::VirtualBoard board;
    if (board.start()) {
        platform::MessageRecorder messages;
        SetPreferredPorts({QString::fromStdString(board.portPath())});
        SetChipPanelFactoryForTests(&dummyPanel);
        dlg.OnDetectEvm();
        save(dlg, QStringLiteral("/tmp/pellorin-main-detected.png"));
        ClosePort();
    }

    CAboutDlg about;
    save(about, QStringLiteral("/tmp/pellorin-about.png"));
    return 0;
}
