#include "wheel_guard.h"

#include <QComboBox>
#include <QEvent>

namespace panel_common {
namespace {

// Lives with the list it filters.
class WheelGuard : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *list = qobject_cast<QComboBox *>(watched);
        if (event->type() != QEvent::Wheel || !list || list->hasFocus())
            return QObject::eventFilter(watched, event);
        event->ignore(); // passed on to the parent
        return true;
    }
};

} // namespace

void TakeWheelOnlyWithFocus(QComboBox *list) {
    // The wheel would otherwise give the list focus on its way through (Qt::WheelFocus).
    list->setFocusPolicy(Qt::StrongFocus);
    list->installEventFilter(new WheelGuard(list));
}

} // namespace panel_common
