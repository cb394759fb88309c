#pragma once
// The about box: fixed texts, closed with "OK".

#include "platform/control_registry.h"

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget *parent = nullptr);

    QWidget *control(int id) const { return m_controls.control(id); }

  private:
    platform::ControlRegistry m_controls;
};
