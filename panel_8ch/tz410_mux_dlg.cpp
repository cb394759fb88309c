#include "tz410_mux_dlg.h"

#include "chips/vxc5480/register_map.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

TZ410MUXDlg::TZ410MUXDlg(QWidget *parent) : TZ410Page(parent) {
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(3);
    grid->addWidget(new QLabel(QStringLiteral("AIN+"), this), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("AIN-"), this), 0, 2, Qt::AlignHCenter);
    auto *positive = new QButtonGroup(this);
    auto *negative = new QButtonGroup(this);
    for (int input = 0; input < kInputs; ++input) {
        const QString name = panel_common::InputName(vxc5480::kMuxLayout, input);
        grid->addWidget(new QLabel(name, this), input + 1, 0);
        auto *pos = add(kFirstPosId + input, new QRadioButton(this));
        auto *neg = add(kFirstNegId + input, new QRadioButton(this));
        // Named by row and column: the row label and the headings name the whole grid.
        pos->setAccessibleName(name + QStringLiteral(" AIN+"));
        neg->setAccessibleName(name + QStringLiteral(" AIN-"));
        positive->addButton(pos);
        negative->addButton(neg);
        grid->addWidget(pos, input + 1, 1, Qt::AlignHCenter);
        grid->addWidget(neg, input + 1, 2, Qt::AlignHCenter);
        connect(pos, &QRadioButton::clicked, this,
                [this, input] { OnAinPos(kFirstPosId + input); });
        connect(neg, &QRadioButton::clicked, this,
                [this, input] { OnAinNeg(kFirstNegId + input); });
    }
    grid->setColumnStretch(3, 1);
    auto *note = new QLabel(QStringLiteral("For single-ended measurements, use AINCOM as the "
                                           "common input (ground or voltage)."),
                            this);
    note->setWordWrap(true);
    grid->addWidget(note, kInputs + 1, 0, 1, 4);
    grid->setRowMinimumHeight(kInputs + 1, 36);
    grid->setRowStretch(kInputs + 2, 1);
}

void TZ410MUXDlg::OnInitDialog() {
    m_ainPosId = kFirstPosId;
    m_ainNegId = kFirstNegId + 1;
    check(m_ainPosId);
    check(m_ainNegId);
}

void TZ410MUXDlg::OnAinPos(int id) {
    m_ainPosId = id;
    *m_pPending = vxc5480::MuxByte(id - kFirstPosId, m_ainNegId - kFirstNegId);
}

void TZ410MUXDlg::OnAinNeg(int id) {
    m_ainNegId = id;
    *m_pPending = vxc5480::MuxByte(m_ainPosId - kFirstPosId, id - kFirstNegId);
}

void TZ410MUXDlg::ShowCurrent() {
    const uint8_t mux = *m_pCurrent;
    m_ainPosId = kFirstPosId + vxc5480::MuxPositiveInput(mux);
    m_ainNegId = kFirstNegId + vxc5480::MuxNegativeInput(mux);
    check(m_ainPosId);
    check(m_ainNegId);
}

bool TZ410MUXDlg::sameInputChosen() const {
    return !panel_common::IsInputPair(vxc5480::kMuxLayout, m_ainPosId - kFirstPosId,
                                      m_ainNegId - kFirstNegId);
}

void TZ410MUXDlg::check(int id) {
    if (auto *button = controlAs<QRadioButton>(id))
        button->setChecked(true);
}
