#include "register_table_page.h"

#include "chips/common/hex_text.h"

#include "controls/tc_edit.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using panel_common::HexByteText;

CRegisterTablePage::CRegisterTablePage(const char *const *rowLabels, int rows, bool readOnly,
                                       QWidget *parent)
    : CPanelPage(parent), m_rows(rows) {
    QGridLayout *grid = makeGrid(12, 2);
    grid->addWidget(new QLabel(QStringLiteral("Write"), this), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Read"), this), 0, 2, Qt::AlignHCenter);
    for (int row = 0; row < rows; ++row) {
        const QString name = QString::fromLatin1(rowLabels[row]);
        auto *write = add(kFirstWriteId + row, new CTCEdit(this));
        write->setUpperCase(true);
        auto *read = add(kFirstReadId + row, new QLineEdit(this));
        read->setReadOnly(readOnly);
        // Cells are named from their row and column: "MUX Write", "MUX Read".
        write->setAccessibleName(name + QStringLiteral(" Write"));
        read->setAccessibleName(name + QStringLiteral(" Read"));
        // Two hex digits each: narrow boxes keep every row and the button in view.
        write->setFixedWidth(44);
        read->setFixedWidth(44);
        grid->addWidget(new QLabel(name, this), row + 1, 0);
        grid->addWidget(write, row + 1, 1);
        grid->addWidget(read, row + 1, 2);
    }
    auto *sync = add(kSyncButton, new QPushButton(QStringLiteral("Sync"), this));
    sync->setAccessibleName(sync->text());
    sync->setMinimumWidth(70);
    // Beside the rows, level with the middle of the table.
    grid->addWidget(sync, 1, 3, rows, 1, Qt::AlignCenter);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(rows + 1, 1);
    connect(sync, &QPushButton::clicked, this, [this] { OnSync(); });
}

void CRegisterTablePage::OnInitDialog() {
    for (int row = 0; row < m_rows; ++row) {
        controlAs<QLineEdit>(kFirstWriteId + row)->setMaxLength(2);
        setWriteText(row, QStringLiteral("00"));
    }
}

void CRegisterTablePage::ShowCurrent() {
    for (int row = 0; row < m_rows; ++row)
        controlAs<QLineEdit>(kFirstReadId + row)->setText(HexByteText(m_pCurrent[row]));
}

void CRegisterTablePage::ShowPending() {
    for (int row = 0; row < m_rows; ++row)
        setWriteText(row, HexByteText(m_pPending[row]));
}

void CRegisterTablePage::OnSync() {
    for (int row = 0; row < m_rows; ++row) {
        const QString text = readText(row).left(2);
        if (!text.isEmpty())
            setWriteText(row, text);
    }
}

QString CRegisterTablePage::writeText(int row) const {
    return controlAs<QLineEdit>(kFirstWriteId + row)->text();
}

QString CRegisterTablePage::readText(int row) const {
    return controlAs<QLineEdit>(kFirstReadId + row)->text();
}

void CRegisterTablePage::setWriteText(int row, const QString &text) {
    controlAs<QLineEdit>(kFirstWriteId + row)->setText(text);
}
