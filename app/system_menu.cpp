#include "system_menu.h"

#include <QMenu>
#include <QMenuBar>

namespace {
void addCommand(QMenu *menu, const QString &text, int id,
                const std::function<void(int)> &dispatch) {
    QAction *action = menu->addAction(text);
    action->setData(id);
    QObject::connect(action, &QAction::triggered, menu, [dispatch, id] { dispatch(id); });
}
} // namespace

QMenuBar *BuildSystemMenuBar(QWidget *parent, const std::function<void(int)> &dispatch) {
    auto *bar = new QMenuBar(parent);
    QMenu *menu = bar->addMenu(QStringLiteral("&Pellorin"));
    // Each item has an access letter of its own, so the keyboard reaches every one at once.
    addCommand(menu, QStringLiteral("&Load Profile"), syscmd::kLoadProfile, dispatch);
    addCommand(menu, QStringLiteral("&Save Profile"), syscmd::kSaveProfile, dispatch);
    menu->addSeparator();
    addCommand(menu, QStringLiteral("&Update Firmware"), syscmd::kUpdateFirmware, dispatch);
    addCommand(menu, QStringLiteral("&About Pellorin..."), syscmd::kAbout, dispatch);
    return bar;
}
