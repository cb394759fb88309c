#include "message_presenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace platform {
namespace {
QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const Message &message) {
    QWidget *owner = qobject_cast<QWidget *>(message.owner);
    auto box = std::make_unique<QMessageBox>(boxIcon(message.icon), message.caption, message.text,
                                             QMessageBox::Ok, owner ? owner->window() : nullptr);
    // The link reports from the middle of a scan or an exchange; a box that left the window
    // usable would let the user start a second exchange on the same port underneath it.
    box->setWindowModality(Qt::ApplicationModal);
    // The cause in plain sight under the text, not behind a "Show Details..." button: it is
    // what the user acts on (a path to correct, a folder to create).
    if (!message.detail.isEmpty())
        box->setInformativeText(message.detail);
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
    return box;
}

void PresentMessage(const Message &message) {
    // A long operation (the firmware update) shows a wait cursor; its boxes want the arrow.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    MakeMessageBox(message)->exec();
    if (busy)
        QApplication::restoreOverrideCursor();
}

void InstallMessagePresenter() {
    SetMessagePresenter(&PresentMessage);
}

} // namespace platform
