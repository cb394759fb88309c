#pragma once
// Control ids: every window registers its controls under fixed numeric ids, because code
// computes with them (a Write edit is 1026 + address) and tests reach controls through them.

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace platform {

class ControlRegistry {
  public:
    void add(int id, QWidget *widget) { m_controls.insert(id, widget); }
    QWidget *control(int id) const { return m_controls.value(id).data(); }
    template <typename T> T *as(int id) const { return qobject_cast<T *>(control(id)); }

  private:
    QHash<int, QPointer<QWidget>> m_controls;
};

} // namespace platform
