#include "evm_dialog.h"

#include <QKeyEvent>

CEVMDialog::CEVMDialog(QWidget *parent) : QWidget(parent) {}

CEVMDialog::~CEVMDialog() = default;

int CEVMDialog::LoadProfile(const QString &) {
    return 0;
}

int CEVMDialog::SaveProfile(const QString &) {
    return 0;
}

int CEVMDialog::RefreshFromChip() {
    return 0;
}

void CEVMDialog::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
