#include "tz410_power_dlg.h"

#include "chips/vxc5480/chip_facts.h"
#include "chips/vxc5480/register_map.h"
#include "panel_common/combo_fill.h"
#include "platform/busy_flags.h"

#include "link/frames.h"
#include "link/protocol.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace vxc5480;

namespace {
enum { kSourceEdit = 1012, kVrefEdit = 1097, kSensorList = 1098 };
}

TZ410POWERDlg::TZ410POWERDlg(QWidget *parent) : TZ410Page(parent) {
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    auto *sourceLabel = new QLabel(QStringLiteral("VRef Source"), this);
    auto *source = add(kSourceEdit, new QLineEdit(this));
    source->setReadOnly(true);
    sourceLabel->hide();
    source->hide();
    auto *vref = add(kVrefEdit, new QLineEdit(this));
    vref->setReadOnly(true);
    vref->setFixedWidth(80);
    auto *list = add(kSensorList, new QComboBox(this));
    list->setFixedWidth(110);
    sourceLabel->setBuddy(source);
    auto *vrefLabel = new QLabel(QStringLiteral("VRef"), this);
    vrefLabel->setBuddy(vref);
    auto *sensorLabel = new QLabel(QStringLiteral("Sensor Detect Current Sources"), this);
    sensorLabel->setBuddy(list);
    grid->addWidget(sourceLabel, 0, 0);
    grid->addWidget(source, 0, 1);
    grid->addWidget(vrefLabel, 1, 0);
    grid->addWidget(vref, 1, 1);
    grid->addWidget(sensorLabel, 2, 0, 1, 2);
    grid->addWidget(list, 3, 0, 1, 2);
    auto button = [&](int id, const char *caption, int r, void (TZ410POWERDlg::*handler)()) {
        auto *b = add(id, new QPushButton(QString::fromLatin1(caption), this));
        b->setFixedWidth(110);
        grid->addWidget(b, r, 0, 1, 2);
        connect(b, &QPushButton::clicked, this, handler);
    };
    button(kPowerDownButton, "Power Down", 4, &TZ410POWERDlg::OnPowerDown);
    button(kStandbyButton, "Standby", 5, &TZ410POWERDlg::OnStandby);
    button(kWakeupButton, "Wakeup", 6, &TZ410POWERDlg::OnWakeup);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(7, 1);
    connect(list, &QComboBox::activated, this, [this] { OnSensorCurrentChange(); });
}

void TZ410POWERDlg::OnInitDialog() {
    auto *list = controlAs<QComboBox>(kSensorList);
    FillCombo(list, SensorCurrentItems);
    list->setCurrentIndex(0);
    // The reference the chip's core takes where nobody gives one: "2.5V".
    controlAs<QLineEdit>(kVrefEdit)->setText(QString::number(kDefaultReferenceVolts) + u'V');
}

void TZ410POWERDlg::OnSensorCurrentChange() {
    // The table's codes equal the item positions.
    const int index = controlAs<QComboBox>(kSensorList)->currentIndex();
    *m_pPending = WithSensorCurrentCode(*m_pPending, index);
}

void TZ410POWERDlg::ShowCurrent() {
    const int code = SensorCurrentCode(*m_pCurrent);
    for (const ComboItem &item : TableEntries(SensorCurrentItems)) {
        if (item.code == code) {
            controlAs<QComboBox>(kSensorList)->setCurrentIndex(code);
            return;
        }
    }
}

bool TZ410POWERDlg::sendPowerCommand(uint8_t code) {
    if (board().acquiring())
        return false;
    return board().sendCommand(code, 0) == 0;
}

void TZ410POWERDlg::OnPowerDown() {
    if (sendPowerCommand(command::kPowerDown))
        control(kStandbyButton)->setEnabled(false);
}

void TZ410POWERDlg::OnStandby() {
    if (sendPowerCommand(command::kStandby))
        control(kPowerDownButton)->setEnabled(false);
}

void TZ410POWERDlg::OnWakeup() {
    if (sendPowerCommand(command::kWakeup)) {
        control(kPowerDownButton)->setEnabled(true);
        control(kStandbyButton)->setEnabled(true);
    }
}
