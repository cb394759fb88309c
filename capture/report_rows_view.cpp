#include "report_rows_view.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

ReportRowsView::ReportRowsView(QWidget *parent) : QWidget(parent), m_form(new QFormLayout(this)) {
    m_form->setContentsMargins(0, 0, 0, 0);
    // A field too long for the room beside its caption goes under it, across the whole width.
    m_form->setRowWrapPolicy(QFormLayout::WrapLongRows);
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
        // As wide as its text, so that none is cut off at the right.
        QStyleOptionFrame option;
        option.initFrom(field);
        field->setMinimumWidth(
            field->style()
                ->sizeFromContents(QStyle::CT_LineEdit, &option,
                                   QSize(field->fontMetrics().horizontalAdvance(text) + 8,
                                         field->fontMetrics().height()),
                                   field)
                .width());
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        m_form->addRow(label, field);
        // Shown now rather than when the layout gets to it, so that the size asked of the
        // view right after counts them.
        label->setVisible(true);
        field->setVisible(true);
    }
}

QLineEdit *ReportRowsView::value(const QString &caption) const {
    return findChild<QLineEdit *>(caption, Qt::FindDirectChildrenOnly);
}
