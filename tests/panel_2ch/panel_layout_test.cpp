// The panel keeps its template's size, both tabs' controls fit in it, and every control a
// user reaches has a name. Also draws the panel for a look: /tmp/pellorin-2ch-<tab>.png.

#include "panel_fixture.h"

#include "panel_common/panel_look.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <string>

namespace {

using namespace tz420test;

QRect InPanel(QWidget *widget, QWidget *panel) {
    return QRect(widget->mapTo(panel, QPoint(0, 0)), widget->size());
}

std::string Describe(QWidget *w) {
    return QStringLiteral("%1 \"%2\"")
        .arg(QLatin1String(w->metaObject()->className()), w->accessibleName())
        .toStdString();
}

TEST_F(Panel2Test, BothTabsFitThePanelUnclipped) {
    TZ420Dlg &panel = openPanel();
    EXPECT_EQ(panel.size(), panel_common::kPanelSize);
    for (int tab = 0; tab < TZ420Dlg::kTabCount; ++tab) {
        selectTab(tab);
        QCoreApplication::processEvents();
        for (QWidget *w : panel.findChildren<QWidget *>()) {
            if (!w->isVisible() || w->isWindow())
                continue;
            EXPECT_TRUE(panel.rect().contains(InPanel(w, &panel))) << tab << Describe(w);
            if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) ||
                qobject_cast<QComboBox *>(w)) {
                EXPECT_GE(w->width(), w->minimumSizeHint().width()) << tab << Describe(w);
                EXPECT_GE(w->height(), w->minimumSizeHint().height()) << tab << Describe(w);
            }
        }
        panel.grab().save(QStringLiteral("/tmp/pellorin-2ch-%1.png").arg(tab == 0 ? "mux" : "all"));
    }
}

TEST_F(Panel2Test, LabelsAreBuddiesAndCellsAreNamedByRowAndColumn) {
    TZ420Dlg &panel = openPanel();
    for (auto [caption, id] : {std::pair{"Mode", int(TZ420Dlg::kModeList)},
                               std::pair{"PGA Gain", int(TZ420Dlg::kPgaList)},
                               std::pair{"Data Rate", int(TZ420Dlg::kRateList)}}) {
        QLabel *label = nullptr;
        for (QLabel *l : panel.findChildren<QLabel *>()) {
            if (l->text() == QLatin1String(caption))
                label = l;
        }
        ASSERT_NE(label, nullptr) << caption;
        EXPECT_EQ(label->buddy(), panel.control(id)) << caption;
        EXPECT_EQ(panel.control(id)->accessibleName(), caption);
    }
    const std::pair<int, const char *> cells[] = {
        {1078, "AIN0 AIN+"}, {1079, "AIN1 AIN+"}, {1087, "AIN0 AIN-"}, {1088, "AIN1 AIN-"}};
    for (auto [id, name] : cells)
        EXPECT_EQ(panel.m_muxPage->control(id)->accessibleName(), name);
    EXPECT_EQ(panel.m_allPage->control(1027)->accessibleName(), "MUX Write");
    EXPECT_EQ(panel.m_allPage->control(1042)->accessibleName(), "CR3 Read");
    for (QLabel *l : panel.findChildren<QLabel *>()) {
        if (l->text() == QLatin1String("BUF_EN")) {
            EXPECT_EQ(l->buddy(), panel.m_muxPage->control(1134));
        }
    }

    // Every control that takes focus has a name, on both pages.
    for (QWidget *w : panel.findChildren<QWidget *>()) {
        if (w->focusPolicy() == Qt::NoFocus || qobject_cast<QTabBar *>(w))
            continue;
        QString name = w->accessibleName();
        if (auto *button = qobject_cast<QAbstractButton *>(w); name.isEmpty() && button)
            name = button->text();
        EXPECT_FALSE(name.isEmpty()) << Describe(w);
    }
}

} // namespace
