#include "tz410_io_dlg.h"

#include "chips/vxc5480/register_map.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace vxc5480;

namespace {
QString pinName(int row) {
    return QStringLiteral("D%1").arg(3 - row);
}

// Shows a level as "H" or "L" and names the widget with its row and the level, "D3 Level: H",
// so a screen reader says what is shown.
template <typename Widget> void showLevel(Widget *widget, const QString &name, bool high) {
    const QString level = high ? QStringLiteral("H") : QStringLiteral("L");
    widget->setText(level);
    widget->setAccessibleName(name + QStringLiteral(": ") + level);
}
} // namespace

TZ410IODlg::TZ410IODlg(QWidget *parent) : TZ410Page(parent) {
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->addWidget(new QLabel(QStringLiteral("Output"), this), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("I/O Mode"), this), 0, 2, 1, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("Output"), this), 1, 2, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Input"), this), 1, 3, Qt::AlignHCenter);
    for (int row = 0; row < kGpioRows; ++row) {
        const int r = row + 2;
        const QString pin = pinName(row);
        grid->addWidget(new QLabel(pin, this), r, 0);
        auto *toggle = add(kToggleIds[row], new QPushButton(this));
        toggle->setCheckable(true);
        toggle->setFixedWidth(40);
        auto *output = add(kOutputIds[row], new QRadioButton(this));
        auto *input = add(kInputIds[row], new QRadioButton(this));
        auto *group = new QButtonGroup(this);
        group->addButton(output);
        group->addButton(input);
        // Named by row and column; the toggle's caption is the level it sets.
        showLevel(toggle, pin + QStringLiteral(" Output"), false);
        output->setAccessibleName(pin + QStringLiteral(" I/O Mode Output"));
        input->setAccessibleName(pin + QStringLiteral(" I/O Mode Input"));
        auto *indicator = add(kIndicatorIds[row], new QLabel(this));
        showLevel(indicator, pin + QStringLiteral(" Level"), false);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setFrameStyle(QFrame::Box | QFrame::Plain);
        indicator->setFixedSize(28, 20);
        grid->addWidget(toggle, r, 1, Qt::AlignHCenter);
        grid->addWidget(output, r, 2, Qt::AlignHCenter);
        grid->addWidget(input, r, 3, Qt::AlignHCenter);
        grid->addWidget(indicator, r, 4);
        connect(toggle, &QPushButton::clicked, this, [this, row] { OnLevelToggle(row); });
        connect(output, &QRadioButton::clicked, this, [this, row] { OnDirection(row, false); });
        connect(input, &QRadioButton::clicked, this, [this, row] { OnDirection(row, true); });
    }
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(kGpioRows + 2, 1);
}

void TZ410IODlg::OnLevelToggle(int row) {
    auto *toggle = controlAs<QPushButton>(kToggleIds[row]);
    const bool high = toggle->isChecked();
    *m_pPending = high ? (*m_pPending | GpioLevelBit(row)) : (*m_pPending & ~GpioLevelBit(row));
    showLevel(toggle, pinName(row) + QStringLiteral(" Output"), high);
}

void TZ410IODlg::OnDirection(int row, bool input) {
    const uint8_t bit = GpioDirectionBit(row);
    *m_pPending = input ? (*m_pPending | bit) : (*m_pPending & ~bit);
}

void TZ410IODlg::ShowCurrent() {
    const uint8_t io = *m_pCurrent;
    for (int row = 0; row < kGpioRows; ++row) {
        const bool input = io & GpioDirectionBit(row);
        controlAs<QRadioButton>(input ? kInputIds[row] : kOutputIds[row])->setChecked(true);
        showLevel(controlAs<QLabel>(kIndicatorIds[row]), pinName(row) + QStringLiteral(" Level"),
                  (io & GpioLevelBit(row)) != 0);
    }
}
