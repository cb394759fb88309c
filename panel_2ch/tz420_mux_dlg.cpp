#include "tz420_mux_dlg.h"

#include "chips/vxc5420/register_map.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

using namespace vxc5420;

TZ420MUXDlg::TZ420MUXDlg(QWidget *parent) : CPanelPage(parent) {
    QGridLayout *grid = makeGrid(24, 3);
    const QString columns[] = {QStringLiteral("AIN+"), QStringLiteral("AIN-")};
    const int firstIds[] = {kAinPos0, kAinNeg0};
    for (int column = 0; column < 2; ++column) {
        grid->addWidget(new QLabel(columns[column], this), 0, column + 1, Qt::AlignHCenter);
        auto *group = new QButtonGroup(this);
        for (int input = 0; input < kInputs; ++input) {
            const QString row = panel_common::InputName(kMuxLayout, input);
            const int id = firstIds[column] + input;
            auto *button = add(id, new QRadioButton(this));
            // A caption-less cell: named from its row and column, "AIN1 AIN+".
            button->setAccessibleName(row + u' ' + columns[column]);
            group->addButton(button);
            grid->addWidget(button, input + 1, column + 1, Qt::AlignHCenter);
            if (column == 0)
                grid->addWidget(new QLabel(row, this), input + 1, 0);
            connect(button, &QRadioButton::clicked, this, [this, column, id] {
                if (column == 0)
                    OnAinPos(id);
                else
                    OnAinNeg(id);
            });
        }
    }
    grid->setRowMinimumHeight(kInputs + 1, 16);
    auto *bufferLabel = new QLabel(QStringLiteral("BUF_EN"), this);
    auto *buffer = add(kBufferBox, new QCheckBox(QStringLiteral("Enable Input Buffer"), this));
    bufferLabel->setBuddy(buffer);
    buffer->setAccessibleName(buffer->text());
    grid->addWidget(bufferLabel, kInputs + 2, 0);
    grid->addWidget(buffer, kInputs + 2, 1, 1, 3);
    connect(buffer, &QCheckBox::clicked, this, [this] { OnBuffer(); });
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(kInputs + 3, 1);
}

void TZ420MUXDlg::OnInitDialog() {
    m_ainPosId = kAinPos0 + 1;
    m_ainNegId = kAinNeg0;
    check(m_ainPosId);
    check(m_ainNegId);
}

void TZ420MUXDlg::ShowCurrent() {
    m_ainPosId = kAinPos0 + MuxPositiveInput(m_pCurrent[0]);
    m_ainNegId = kAinNeg0 + MuxNegativeInput(m_pCurrent[0]);
    check(m_ainPosId);
    check(m_ainNegId);
    controlAs<QCheckBox>(kBufferBox)->setChecked(BufferEnabled(m_pCurrent[1]));
}

void TZ420MUXDlg::OnAinPos(int id) {
    m_ainPosId = id;
    m_pPending[0] = WithPositiveInput(m_pPending[0], id - kAinPos0);
}

void TZ420MUXDlg::OnAinNeg(int id) {
    m_ainNegId = id;
    m_pPending[0] = WithNegativeInput(m_pPending[0], id - kAinNeg0);
}

void TZ420MUXDlg::OnBuffer() {
    m_pPending[1] = WithBuffer(m_pPending[1], controlAs<QCheckBox>(kBufferBox)->isChecked());
}

bool TZ420MUXDlg::sameInputChosen() const {
    return !panel_common::IsInputPair(kMuxLayout, m_ainPosId - kAinPos0, m_ainNegId - kAinNeg0);
}

void TZ420MUXDlg::check(int id) {
    if (auto *button = controlAs<QRadioButton>(id))
        button->setChecked(true);
}
