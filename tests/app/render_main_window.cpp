// Draws the main window into PNGs to look at the layout (default /tmp/pellorin-main.png), then
// again after a detection against a virtual board with a dummy panel in the panel's place
// (/tmp/pellorin-main-detected.png), with the real VXC5480 panel once per tab
// (/tmp/pellorin-tab-<name>.png), with the real VXC5420 panel on both of its tabs
// (/tmp/pellorin-2ch-tab-<name>.png), and the about box (/tmp/pellorin-about.png).
#include "app/about_dlg.h"
#include "app/panel_factory.h"
#include "app/pellorin_dlg.h"
#include "link/serial_transport.h"
#include "panel_common/evm_dialog.h"
#include "platform/message_service.h"
#include "sim/virtual_board.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QPixmap>
#include <QTabBar>
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
// Detects again with the real panel and draws the window once per tab.
void saveEveryTab(CPellorinDlg &dlg) {
    dlg.OnDetectEvm();
    auto *tabs = dlg.m_pPanel ? qobject_cast<QTabBar *>(dlg.m_pPanel->control(1009)) : nullptr;
    if (!tabs) {
        std::fprintf(stderr, "no panel after the detection\n");
        return;
    }
    const char *names[] = {"mux", "clocks", "gpio", "power", "cal", "status", "allregs"};
    for (int tab = 0; tab < tabs->count() && tab < 7; ++tab) {
        tabs->setCurrentIndex(tab);
        save(dlg, QStringLiteral("/tmp/pellorin-tab-%1.png").arg(QLatin1String(names[tab])));
        // The panel alone at twice the size, to see its pixels.
        const QPixmap panel = dlg.m_pPanel->grab();
        panel.scaled(panel.size() * 2)
            .save(QStringLiteral("/tmp/pellorin-panel-%1-x2.png").arg(QLatin1String(names[tab])));
    }
    // The data-rate list opened, to read its padded texts.
    if (auto *rates = qobject_cast<QComboBox *>(dlg.m_pPanel->control(1008))) {
        rates->showPopup();
        QApplication::processEvents();
        QWidget *popup = rates->view()->window();
        const QPixmap list = popup->grab();
        list.scaled(list.size() * 2).save(QStringLiteral("/tmp/pellorin-rate-list-x2.png"));
        rates->hidePopup();
    }
    std::printf("panel %dx%d at (%d, %d)\n", dlg.m_pPanel->width(), dlg.m_pPanel->height(),
                dlg.m_pPanel->x(), dlg.m_pPanel->y());
}
// Detects a 2-channel board with "VXC5420" chosen and draws the window once per tab.
void saveTwoChannelPanel(CPellorinDlg &dlg) {
    sim::VirtualBoard board(sim::Chip::VXC5420);
    if (!board.start())
        return;
    dlg.setPortSearch({{QString::fromStdString(board.portPath())}, false});
    qobject_cast<QComboBox *>(dlg.control(1001))->setCurrentIndex(1);
    dlg.OnDetectEvm();
    auto *tabs = dlg.m_pPanel ? qobject_cast<QTabBar *>(dlg.m_pPanel->control(1102)) : nullptr;
    if (!tabs) {
        std::fprintf(stderr, "no 2-channel panel after the detection\n");
        return;
    }
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        save(dlg, QStringLiteral("/tmp/pellorin-2ch-tab-%1.png").arg(tab == 0 ? "mux" : "allregs"));
    }
    // The window's link goes before the board does.
    dlg.close();
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
        dlg.setPortSearch({{QString::fromStdString(board.portPath())}, false});
        SetChipPanelFactoryForTests(&dummyPanel);
        dlg.OnDetectEvm();
        save(dlg, QStringLiteral("/tmp/pellorin-main-detected.png"));
        SetChipPanelFactoryForTests({});
        saveEveryTab(dlg);
        saveTwoChannelPanel(dlg);
    }

    CAboutDlg about;
    save(about, QStringLiteral("/tmp/pellorin-about.png"));
    return 0;
}
