#include "tz410_status_dlg.h"

#include "chips/vxc5480/register_map.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace vxc5480;

TZ410STATUSDlg::TZ410STATUSDlg(QWidget *parent) : TZ410Page(parent) {
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    auto *id = add(kIdEdit, new QLineEdit(this));
    id->setReadOnly(true);
    id->setFixedWidth(40);
    auto *msb = add(kMsbFirst, new QRadioButton(QStringLiteral("MSB First"), this));
    auto *lsb = add(kLsbFirst, new QRadioButton(QStringLiteral("LSB First"), this));
    msb->setEnabled(false);
    lsb->setEnabled(false);
    auto *order = new QButtonGroup(this);
    order->addButton(msb);
    order->addButton(lsb);
    auto *buffer =
        add(kBufferBox, new QCheckBox(QStringLiteral("Enable Analog Input Buffer"), this));
    auto *idLabel = new QLabel(QStringLiteral("ID"), this);
    idLabel->setBuddy(id);
    auto *orderLabel = new QLabel(QStringLiteral("ORDER"), this);
    orderLabel->setBuddy(msb);
    auto *bufferLabel = new QLabel(QStringLiteral("BUFEN"), this);
    bufferLabel->setBuddy(buffer);
    grid->addWidget(idLabel, 0, 0);
    grid->addWidget(id, 0, 1, Qt::AlignLeft);
    grid->addWidget(orderLabel, 1, 0);
    grid->addWidget(msb, 1, 1);
    grid->addWidget(lsb, 2, 1);
    grid->addWidget(bufferLabel, 3, 0);
    grid->addWidget(buffer, 3, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);
    connect(buffer, &QCheckBox::clicked, this, [this] { OnBufferToggle(); });
}

void TZ410STATUSDlg::OnBufferToggle() {
    *m_pPending = WithBuffer(*m_pPending, controlAs<QCheckBox>(kBufferBox)->isChecked());
}

void TZ410STATUSDlg::ShowCurrent() {
    const uint8_t status = *m_pCurrent;
    controlAs<QLineEdit>(kIdEdit)->setText(StatusIdText(status));
    controlAs<QRadioButton>(StatusLsbFirst(status) ? kLsbFirst : kMsbFirst)->setChecked(true);
    // Cleared as well as set: a box left checked would claim a buffer the chip has off.
    controlAs<QCheckBox>(kBufferBox)->setChecked(StatusBufferEnabled(status));
}
