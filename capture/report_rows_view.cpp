#include "report_rows_view.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

ReportRowsView::ReportRowsView(QWidget *parent) : QWidget(parent), m_form(new QFormLayout(this)) {
    m_form->setContentsMargins(0, 0, 0, 0);
}

void ReportRowsView::showRows(const capture::ReportRows &rows) {
    while (m_form->rowCount() > 0)
        m_form->removeRow(0);
    for (const auto &[caption, text] : rows) {
        auto *field = new QLineEdit(text, this);
        field->setReadOnly(true);
        field->setObjectName(caption);
        field->setAccessibleName(caption);
        field->setCursorPosition(0);
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        m_form->addRow(label, field);
    }
}

QLineEdit *ReportRowsView::value(const QString &caption) const {
    return findChild<QLineEdit *>(caption, Qt::FindDirectChildrenOnly);
}
