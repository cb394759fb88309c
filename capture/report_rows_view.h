#pragma once
// Captioned texts (a run's facts or figures) as a form of read-only fields, each named by its
// caption, its value its text, as the analysis window shows its figures.

#include "run_report.h"

#include <QWidget>

class QFormLayout;
class QLineEdit;

class ReportRowsView : public QWidget {
    Q_OBJECT
  public:
    explicit ReportRowsView(QWidget *parent = nullptr);
    // Shows the rows, in order; fields of captions no longer given are removed.
    void showRows(const capture::ReportRows &rows);
    // The field of a caption, or nullptr.
    QLineEdit *value(const QString &caption) const;

  private:
    QFormLayout *m_form;
};
