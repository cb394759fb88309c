#pragma once
// What every page of the VXC5480 panel shares: its controls under their ids, and two
// pointers into the host's register images at the page's first register.

#include "platform/control_registry.h"

#include <QWidget>

#include <cstdint>

class TZ410Page : public QWidget {
    Q_OBJECT
  public:
    explicit TZ410Page(QWidget *parent = nullptr) : QWidget(parent) {}

    QWidget *control(int id) const { return m_controls.control(id); }
    template <typename T> T *controlAs(int id) const { return m_controls.as<T>(id); }

    void SetImages(uint8_t *current, uint8_t *pending) {
        m_pCurrent = current;
        m_pPending = pending;
    }

    // The host's images at this page's register; null until the host places the page.
    uint8_t *m_pCurrent = nullptr;
    uint8_t *m_pPending = nullptr;

  protected:
    template <typename T> T *add(int id, T *widget) {
        m_controls.add(id, widget);
        return widget;
    }

  private:
    platform::ControlRegistry m_controls;
};
