// The capture window's reference: its readouts and its file give volts at this reference, the
// chip's default until the user gives another within the chip's bounds.

#include "capture_dlg.h"

#include "analysis/reference_edit.h"

#include <QGridLayout>
#include <QLabel>

void CCaptureDlg::addReferenceField(QGridLayout *grid, int row) {
    auto *box = grid->parentWidget();
    m_reference = new ReferenceEdit(box);
    auto *label = new QLabel(tr("&Reference (V)"), box);
    label->setBuddy(m_reference);
    m_reference->setAccessibleName(tr("Reference (V)"));
    grid->addWidget(label, row, 0);
    grid->addWidget(m_reference, row, 1);
    m_settingsControls << m_reference;
    connect(m_reference, &ReferenceEdit::refused, this, &CCaptureDlg::setState);
}

void CCaptureDlg::OnPanelChanged() {
    if (const std::optional<conversion::ReferenceRange> range =
            m_hooks.referenceRange ? m_hooks.referenceRange() : std::nullopt)
        m_reference->setRange(*range);
}
