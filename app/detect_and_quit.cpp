#include "detect_and_quit.h"

#include "pellorin_dlg.h"
#include "platform/message_presenter.h"
#include "platform/message_service.h"
#include "resources/main_window_ids.h"
#include "start_module.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int RunDetectAndQuit(CPellorinDlg &dialog, const QString &moduleName) {
    int messages = 0;
    platform::SetMessagePresenter([&messages](const platform::Message &message) {
        ++messages;
        std::fprintf(stderr, "Pellorin: %s: %s\n", qPrintable(message.caption),
                     qPrintable(message.text));
    });
    SelectStartModule(dialog, moduleName);
    int result = 1;
    // Queued, so that the button is pressed from the dialog's own event loop, window shown.
    QTimer::singleShot(0, &dialog, [&dialog, &messages, &result] {
        dialog.controlAs<QPushButton>(mainwindow::kDetectEvm)->click();
        const bool opened = dialog.m_pPanel && dialog.m_pPanel->isVisible();
        result = opened && messages == 0 ? 0 : 1;
        std::printf("Detect EVM: %s, %s\n",
                    qPrintable(dialog.controlAs<QLabel>(mainwindow::kPortLabel)->text()),
                    opened ? "panel opened" : "no panel");
        std::fflush(stdout);
        dialog.done(0);
    });
    dialog.exec();
    platform::InstallMessagePresenter();
    return result;
}
