#include "key_guard.h"

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

namespace platform {
namespace {
class EscapeReturnFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (event->type() == QEvent::KeyPress)
                    return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

void SwallowEscapeAndReturn(QWidget *window) {
    // A filter on the application sees keys for every child, including ones added later.
    auto *filter = new EscapeReturnFilter(window);
    window->installEventFilter(filter);
    for (QWidget *child : window->findChildren<QWidget *>())
        child->installEventFilter(filter);
}

} // namespace platform
