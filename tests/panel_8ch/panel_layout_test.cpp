// The panel keeps its template's size and every tab's controls fit in it, unclipped.

#include "panel_fixture.h"

#include "panel_common/panel_look.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include <string>

namespace {

using namespace vxc5480;
using namespace panel_common;

// The widget's rectangle in the panel's coordinates.
QRect InPanel(QWidget *widget, QWidget *panel) {
    return QRect(widget->mapTo(panel, QPoint(0, 0)), widget->size());
}

std::string Describe(int tab, QWidget *w) {
    QString text;
    if (auto *label = qobject_cast<QLabel *>(w))
        text = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(w))
        text = button->text();
    return QStringLiteral("tab %1 %2 \"%3\"")
        .arg(tab)
        .arg(QLatin1String(w->metaObject()->className()), text)
        .toStdString();
}

TEST_F(PanelTest, EveryTabFitsThePanelUnclipped) {
    TZ410Dlg &panel = openPanel();
    EXPECT_EQ(panel.size(), kPanelSize);
    auto *tabs = static_cast<QTabBar *>(panel.control(TZ410Dlg::kTabControl));
    // All seven tabs in one row, none scrolled out of view.
    const QRect lastTab = tabs->tabRect(kTabCount - 1);
    EXPECT_LE(InPanel(tabs, &panel).left() + lastTab.right(), panel.width()) << lastTab.right();

    for (int tab = 0; tab < kTabCount; ++tab) {
        selectTab(tab);
        QCoreApplication::processEvents();
        for (QWidget *w : panel.findChildren<QWidget *>()) {
            if (!w->isVisible() || w->isWindow())
                continue;
            const std::string what = Describe(tab, w);
            EXPECT_TRUE(panel.rect().contains(InPanel(w, &panel))) << what;
            if (auto *button = qobject_cast<QPushButton *>(w)) {
                // Push buttons may be narrower than the style's usual minimum: "L" and "H"
                // need only their letter.
                const int text = button->fontMetrics().horizontalAdvance(button->text());
                EXPECT_GE(button->width(), text + 8) << what;
                EXPECT_GE(button->height(), button->minimumSizeHint().height());
            } else if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) ||
                       qobject_cast<QComboBox *>(w)) {
                const QSize needed = w->minimumSizeHint();
                EXPECT_GE(w->width(), needed.width()) << what;
                EXPECT_GE(w->height(), needed.height()) << what;
            }
        }
    }
}

} // namespace
