#include "tz410_cal_dlg.h"

#include "chips/vxc5480/chip_commands.h"
#include "chips/vxc5480/register_map.h"
#include "platform/busy_flags.h"
#include "tz410_all_dlg.h"
#include "working_indicator.h"

#include "controls/tc_edit.h"
#include "link/frames.h"
#include "link/protocol.h"
#include "platform/message_service.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QThread>

using namespace vxc5480;

namespace {
struct Calibration {
    int buttonId;
    uint8_t code;
    const char *caption;
};

const Calibration kCalibrations[] = {
    {TZ410CALDlg::kSelfCalButton, command::kSelfCalibration, "ON"},
    {TZ410CALDlg::kSelfOffsetButton, command::kSelfOffsetCalibration, "Self offset"},
    {TZ410CALDlg::kSelfGainButton, command::kSelfGainCalibration, "Self gain"},
    {TZ410CALDlg::kSystemOffsetButton, command::kSystemOffsetCalibration, "System offset"},
    {TZ410CALDlg::kSystemGainButton, command::kSystemGainCalibration, "System gain"},
};

const Calibration &calibrationOf(int buttonId) {
    for (const Calibration &c : kCalibrations) {
        if (c.buttonId == buttonId)
            return c;
    }
    return kCalibrations[0];
}

void showFailure(QObject *owner, const Calibration &c) {
    platform::ShowMessage(owner, QString::fromLatin1(FindChipCommand(c.code)->failure),
                          QStringLiteral("Error"));
}

// Writes the low three bytes of value to three registers from first on, low byte first.
void writeThreeBytes(PanelBoard &board, uint8_t first, uint32_t value) {
    for (int i = 0; i < 3; ++i)
        board.writeRegister(static_cast<uint8_t>(first + i),
                            static_cast<uint8_t>(value >> (8 * i)));
}
} // namespace

TZ410CALDlg::TZ410CALDlg(QWidget *parent) : TZ410Page(parent) {
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(5);
    auto button = [&](const Calibration &c) {
        auto *b = add(c.buttonId, new QPushButton(QString::fromLatin1(c.caption), this));
        connect(b, &QPushButton::clicked, this, [this, id = c.buttonId] {
            id == kSelfCalButton ? OnSelfCalibration() : OnIndividualCalibration(id);
        });
        return b;
    };
    // Columns: row labels, then the offset and the gain register (their buttons and edits).
    auto *selfLabel = new QLabel(QStringLiteral("Self Calibration"), this);
    auto *selfButton = button(kCalibrations[0]);
    selfLabel->setBuddy(selfButton);
    grid->addWidget(selfLabel, 0, 0);
    grid->addWidget(selfButton, 0, 1);
    auto *working = new QHBoxLayout;
    working->setSpacing(6);
    auto *workingLabel = new QLabel(QStringLiteral("Working"), this);
    working->addWidget(workingLabel);
    m_indicator = add(kIndicator, new WorkingIndicator(this));
    m_indicator->setAccessibleName(workingLabel->text());
    workingLabel->setBuddy(m_indicator);
    m_indicator->setFixedSize(24, 16);
    working->addWidget(m_indicator);
    working->addStretch(1);
    grid->addLayout(working, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Individual calibration activities"), this), 1, 0, 1,
                    3);
    auto *individual = new QGridLayout;
    individual->setSpacing(5);
    for (int i = 1; i < 5; ++i)
        individual->addWidget(button(kCalibrations[i]), (i - 1) / 2, (i - 1) % 2);
    grid->addLayout(individual, 2, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Manual commands"), this), 3, 0);
    auto *set = add(kSetButton, new QPushButton(QStringLiteral("Set"), this));
    auto *read = add(kReadButton, new QPushButton(QStringLiteral("Read"), this));
    grid->addWidget(set, 3, 1);
    grid->addWidget(read, 3, 2);
    const QString columns[] = {QStringLiteral("Offset Register"), QStringLiteral("Gain Register")};
    const QString rows[] = {QStringLiteral("To program/After Cal"),
                            QStringLiteral("Current/Before Cal")};
    grid->addWidget(new QLabel(columns[0], this), 4, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(columns[1], this), 4, 2, Qt::AlignHCenter);
    grid->addWidget(new QLabel(rows[0], this), 5, 0);
    grid->addWidget(new QLabel(rows[1], this), 6, 0);
    // The four edits are named by row and column, as the labels name them together.
    for (int id : {kOffsetEdit, kGainEdit}) {
        auto *edit = add(id, new CTCEdit(this));
        edit->setUpperCase(true);
        const int column = id == kOffsetEdit ? 0 : 1;
        edit->setAccessibleName(rows[0] + u' ' + columns[column]);
        grid->addWidget(edit, 5, column + 1);
    }
    for (int id : {kCurrentOffsetEdit, kCurrentGainEdit}) {
        auto *edit = add(id, new QLineEdit(this));
        edit->setReadOnly(true);
        const int column = id == kCurrentOffsetEdit ? 0 : 1;
        edit->setAccessibleName(rows[1] + u' ' + columns[column]);
        grid->addWidget(edit, 6, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(7, 1);
    connect(set, &QPushButton::clicked, this, [this] { OnSet(); });
    connect(read, &QPushButton::clicked, this, [this] { OnReadCalibration(); });
}

void TZ410CALDlg::OnInitDialog() {
    controlAs<QLineEdit>(kOffsetEdit)->setMaxLength(6);
    controlAs<QLineEdit>(kGainEdit)->setMaxLength(6);
    m_indicatorColor = palette().color(QPalette::Button);
    // The calibrating flag is held only by a running calibration's guard: clearing it here would
    // let a new panel start a second calibration under the message box of the old panel's.
}

void TZ410CALDlg::OnIndividualCalibration(int buttonId) {
    BusyFlags &busy = board().busy();
    const BusyGuard guard(busy.calibrating, {&busy.acquiring});
    if (!guard)
        return;
    const Calibration &c = calibrationOf(buttonId);
    if (board().sendCommand(c.code, 0) != 0)
        showFailure(this, c);
}

void TZ410CALDlg::OnSelfCalibration() {
    BusyFlags &busy = board().busy();
    const BusyGuard guard(busy.calibrating, {&busy.acquiring});
    if (!guard)
        return;
    m_indicatorColor = QColor(255, 0, 0);
    DrawIndicator();
    const int result = board().sendCommand(command::kSelfCalibration, 0);
    QThread::msleep(200);
    m_indicatorColor = palette().color(QPalette::Button);
    DrawIndicator();
    if (result != 0)
        showFailure(this, kCalibrations[0]);
}

void TZ410CALDlg::DrawIndicator() {
    m_indicator->setColor(m_indicatorColor);
    // Painted at once: the exchange that follows blocks the event loop.
    m_indicator->repaint();
}

void TZ410CALDlg::OnSet() {
    if (board().acquiring())
        return;
    writeThreeBytes(board(), kOfc0, ParseHex(controlAs<QLineEdit>(kOffsetEdit)->text(), 15));
    writeThreeBytes(board(), kFsc0, ParseHex(controlAs<QLineEdit>(kGainEdit)->text(), 15));
}

void TZ410CALDlg::OnReadCalibration() {
    if (board().acquiring())
        return;
    for (int offset = 0; offset < 6; ++offset)
        board().readRegister(static_cast<uint8_t>(kOfc0 + offset), m_pCurrent[offset]);
    ShowCalibrationValues();
    if (m_allPage)
        m_allPage->ShowCurrent();
}

void TZ410CALDlg::ShowCalibrationValues() {
    controlAs<QLineEdit>(kCurrentOffsetEdit)->setText(CalibrationText(m_pCurrent));
    controlAs<QLineEdit>(kCurrentGainEdit)->setText(CalibrationText(m_pCurrent + 3));
}
