#include "key_guard.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace platform {
namespace {
// Watches the whole application so that widgets added to the window later (a chip panel and
// its pages) are covered too; other windows, such as message boxes, keep their keys.
class EscapeReturnFilter : public QObject {
  public:
    explicit EscapeReturnFilter(QWidget *window) : QObject(window), m_window(window) {}

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        return widget && m_window && (widget == m_window || m_window->isAncestorOf(widget));
    }

  private:
    QPointer<QWidget> m_window;
};

} // namespace

void SwallowEscapeAndReturn(QWidget *window) {
    qApp->installEventFilter(new EscapeReturnFilter(window));
}

} // namespace platform
