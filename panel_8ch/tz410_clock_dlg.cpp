#include "tz410_clock_dlg.h"

#include "chips/vxc5480/register_map.h"
#include "panel_common/combo_fill.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

using namespace vxc5480;

namespace {
enum { kClockInEdit = 1012, kSourceLabel = 1059, kClockOutList = 1060, kClockOutEdit = 1061 };
}

TZ410CLOCKDlg::TZ410CLOCKDlg(QWidget *parent) : TZ410Page(parent) {
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    auto row = [&](int r, const char *label, QWidget *widget) {
        auto *caption = new QLabel(QString::fromLatin1(label), this);
        caption->setBuddy(widget);
        grid->addWidget(caption, r, 0);
        widget->setFixedWidth(110);
        grid->addWidget(widget, r, 1);
    };
    auto *clockIn = add(kClockInEdit, new QLineEdit(this));
    clockIn->setReadOnly(true);
    clockIn->setAlignment(Qt::AlignRight);
    auto *source = add(kSourceLabel, new QLabel(this));
    source->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *list = add(kClockOutList, new QComboBox(this));
    auto *clockOut = add(kClockOutEdit, new QLineEdit(this));
    clockOut->setReadOnly(true);
    clockOut->setAlignment(Qt::AlignRight);
    row(0, "Clock In", clockIn);
    row(1, "Clock Source", source);
    row(2, "Clock Out Rate", list);
    row(3, "Clock Out", clockOut);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);
    connect(list, &QComboBox::activated, this, [this] { OnClockOutChange(); });
}

void TZ410CLOCKDlg::OnInitDialog() {
    auto *list = controlAs<QComboBox>(kClockOutList);
    FillCombo(list, ClockOutItems);
    list->setCurrentIndex(0);
    m_clockIn = kClockInHz;
    controlAs<QLineEdit>(kClockInEdit)->setText(QStringLiteral("7.680000MHz"));
    controlAs<QLabel>(kSourceLabel)->setText(QStringLiteral("Crystal"));
}

void TZ410CLOCKDlg::OnClockOutChange() {
    const int code = controlAs<QComboBox>(kClockOutList)->currentData().toInt();
    *m_pPending = WithClockOutCode(*m_pPending, code);
    controlAs<QLineEdit>(kClockOutEdit)->setText(ClockOutText(code, m_clockIn));
}

void TZ410CLOCKDlg::ShowCurrent() {
    panel_common::SelectByCode(controlAs<QComboBox>(kClockOutList), ClockOutCode(*m_pCurrent));
    OnClockOutChange();
}
