#include "tz410_all_dlg.h"

#include "register_map.h"

#include "controls/tc_edit.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using namespace vxc5480;

namespace {
const char *const kRowLabels[kRegisterCount] = {"Status", "MUX",  "ADCON", "DRATE", "IO",  "OFC0",
                                                "OFC1",   "OFC2", "FSC0",  "FSC1",  "FSC2"};
}

TZ410ALLDlg::TZ410ALLDlg(QWidget *parent) : TZ410Page(parent) {
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(QStringLiteral("Write"), this), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Read"), this), 0, 2, Qt::AlignHCenter);
    for (int address = 0; address < kRegisterCount; ++address) {
        auto *write = add(kFirstWriteId + address, new CTCEdit(this));
        write->setUpperCase(true);
        auto *read = add(kFirstReadId + address, new QLineEdit(this));
        read->setReadOnly(true);
        // Two hex digits each: narrow boxes keep the eleven rows and the button in view.
        write->setFixedWidth(44);
        read->setFixedWidth(44);
        grid->addWidget(new QLabel(QString::fromLatin1(kRowLabels[address]), this), address + 1, 0);
        grid->addWidget(write, address + 1, 1);
        grid->addWidget(read, address + 1, 2);
    }
    auto *sync = add(kSyncButton, new QPushButton(QStringLiteral("Sync"), this));
    sync->setMinimumWidth(70);
    // Beside the rows, level with the middle of the table.
    grid->addWidget(sync, 1, 3, kRegisterCount, 1, Qt::AlignCenter);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(kRegisterCount + 1, 1);
    connect(sync, &QPushButton::clicked, this, [this] { OnSync(); });
}

void TZ410ALLDlg::OnInitDialog() {
    for (int address = 0; address < kRegisterCount; ++address) {
        controlAs<QLineEdit>(kFirstWriteId + address)->setMaxLength(2);
        setWriteText(address, QStringLiteral("00"));
    }
}

void TZ410ALLDlg::ShowCurrent() {
    for (int address = 0; address < kRegisterCount; ++address)
        controlAs<QLineEdit>(kFirstReadId + address)->setText(HexByteText(m_pCurrent[address]));
}

void TZ410ALLDlg::ShowPending() {
    for (int address = 0; address < kRegisterCount; ++address)
        setWriteText(address, HexByteText(m_pPending[address]));
}

void TZ410ALLDlg::OnSync() {
    for (int address = 0; address < kRegisterCount; ++address) {
        const QString text = readText(address).left(2);
        if (!text.isEmpty())
            setWriteText(address, text);
    }
}

QString TZ410ALLDlg::writeText(int address) const {
    return controlAs<QLineEdit>(kFirstWriteId + address)->text();
}

QString TZ410ALLDlg::readText(int address) const {
    return controlAs<QLineEdit>(kFirstReadId + address)->text();
}

void TZ410ALLDlg::setWriteText(int address, const QString &text) {
    controlAs<QLineEdit>(kFirstWriteId + address)->setText(text);
}
