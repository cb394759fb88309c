// The whole window through a screen reader's eyes: with either chip's panel on each of its
// pages, every focusable control has a name, every label that names a control is its buddy,
// and exactly one object is the "Chart".

#include "panel_host_fixture.h"

#include "acquisition/chart_area.h"
#include "app/about_dlg.h"
#include "panel_2ch/tz420_dlg.h"
#include "tests/support/accessibility_walk.h"

#include <QAccessible>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>

#include <cstdio>

namespace {
int accessibleObjectsNamed(QAccessibleInterface *iface, const QString &name) {
    if (!iface)
        return 0;
    int n = iface->text(QAccessible::Name) == name ? 1 : 0;
    for (int i = 0; i < iface->childCount(); ++i)
        n += accessibleObjectsNamed(iface->child(i), name);
    return n;
}

TEST(AccessibilityWalk, CatchesALabelThatIsNotItsControlsBuddyAndANamelessControl) {
    QWidget window;
    auto *row = new QHBoxLayout(&window);
    auto *label = new QLabel(QStringLiteral("PGA Gain"), &window);
    auto *list = new QComboBox(&window);
    list->addItem(QStringLiteral("32"));
    auto *loose = new QLineEdit(&window);
    row->addWidget(label);
    row->addWidget(list);
    row->addSpacing(200);
    row->addWidget(loose);
    window.show();

    AccessibilityReport report = WalkAccessibility(&window);
    EXPECT_EQ(report.checked, 2);
    // The list is nameless and the label is not its buddy; the edit is nameless.
    EXPECT_EQ(report.violations.size(), 3) << report.describe();

    label->setBuddy(list);
    loose->setAccessibleName(QStringLiteral("Notes"));
    report = WalkAccessibility(&window);
    EXPECT_TRUE(report.violations.isEmpty()) << report.describe();
    EXPECT_EQ(AccessibleNameOf(list), QStringLiteral("PGA Gain"));
}

TEST(AccessibilityWalk, CatchesAShownValueThatAScreenReaderCannotRead) {
    QWidget window;
    auto *grid = new QGridLayout(&window);
    auto *caption = new QLabel(QStringLiteral("Std dev"), &window);
    auto *hidden = new QLabel(QStringLiteral("2.000"), &window);
    hidden->setAccessibleName(QStringLiteral("Std dev")); // the row, not the value
    auto *field = new QLineEdit(QStringLiteral("17.36"), &window);
    field->setReadOnly(true);
    field->setAccessibleName(QStringLiteral("Effective resolution"));
    grid->addWidget(caption, 0, 0);
    grid->addWidget(hidden, 0, 1);
    grid->addWidget(field, 1, 1);
    window.show();

    AccessibilityReport report = WalkAccessibility(&window);
    ASSERT_EQ(report.violations.size(), 1) << report.describe();
    EXPECT_TRUE(report.violations[0].contains(QStringLiteral("2.000")));
    EXPECT_EQ(report.textsChecked, 3);

    // A name that carries the value, kept with it when it changes, is read.
    hidden->setText(QStringLiteral("2.500"));
    hidden->setAccessibleName(QStringLiteral("Std dev: 2.500"));
    report = WalkAccessibility(&window);
    EXPECT_TRUE(report.violations.isEmpty()) << report.describe();

    // A one-letter level is not read inside a word of the name.
    hidden->setText(QStringLiteral("L"));
    hidden->setAccessibleName(QStringLiteral("D3 Level"));
    EXPECT_EQ(WalkAccessibility(&window).violations.size(), 1);
    hidden->setAccessibleName(QStringLiteral("D3 Level: L"));
    EXPECT_TRUE(WalkAccessibility(&window).violations.isEmpty());
}

// Walks the window once with each page of the panel shown; the figures add up over the pages.
struct PagesWalked {
    int pages = 0;
    int checked = 0;
    int labels = 0;
    int texts = 0;
};

PagesWalked WalkEveryPage(QWidget *window, QTabBar *tabs) {
    PagesWalked walked;
    walked.pages = tabs->count();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        SCOPED_TRACE(tabs->tabText(tab).toStdString());
        const AccessibilityReport report = WalkAccessibility(window);
        EXPECT_TRUE(report.violations.isEmpty()) << report.describe();
        EXPECT_EQ(report.namedChart, 1);
        walked.checked += report.checked;
        walked.labels += report.labelsChecked;
        walked.texts += report.textsChecked;
    }
    return walked;
}

TEST_F(PanelHostTest, EveryControlOnEveryPageIsNamedAndEveryLabelIsABuddy) {
    dlg.show();
    clickDetect();
    ASSERT_NE(panel(), nullptr);
    const PagesWalked walked =
        WalkEveryPage(&dlg, static_cast<QTabBar *>(panel()->control(TZ410Dlg::kTabControl)));
    EXPECT_GT(walked.checked, 100);
    std::printf("accessibility walk: %d controls, %d labels and %d shown texts checked over %d "
                "pages\n",
                walked.checked, walked.labels, walked.texts, walked.pages);
}

class Panel2AccessibilityTest : public PanelHostTest {
  protected:
    Panel2AccessibilityTest() : PanelHostTest(sim::Chip::VXC5420) {}
    void SetUp() override {
        PanelHostTest::SetUp();
        qobject_cast<QComboBox *>(dlg.control(mainwindow::kModuleList))->setCurrentIndex(1);
    }
};

TEST_F(Panel2AccessibilityTest, EveryControlOfTheTwoChannelPanelIsNamedOnBothPages) {
    dlg.show();
    clickDetect();
    auto *panel2 = qobject_cast<TZ420Dlg *>(dlg.m_pPanel.data());
    ASSERT_NE(panel2, nullptr);
    const PagesWalked walked =
        WalkEveryPage(&dlg, static_cast<QTabBar *>(panel2->control(TZ420Dlg::kTabControl)));
    EXPECT_GT(walked.checked, 40);
    std::printf("accessibility walk, 2-channel panel: %d controls, %d labels and %d shown "
                "texts checked over %d pages\n",
                walked.checked, walked.labels, walked.texts, walked.pages);
}

TEST_F(PanelHostTest, TheChartIsOneAccessibleObjectTheDrawingSurfaceItself) {
    dlg.show();
    EXPECT_EQ(accessibleObjectsNamed(QAccessible::queryAccessibleInterface(&dlg),
                                     QStringLiteral("Chart")),
              1);
    auto *chart = qobject_cast<ChartArea *>(dlg.control(mainwindow::kChartArea));
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->accessibleName(), QStringLiteral("Chart"));
    // The picture's (0, 0) is the surface's top-left pixel: it fills the surface exactly.
    EXPECT_EQ(chart->picture().size(), chart->size());
    EXPECT_EQ(chart->grab().toImage().pixel(0, 0), chart->picture().pixel(0, 0));
}

TEST(AboutBox, EveryControlIsNamed) {
    CAboutDlg about;
    about.show();
    const AccessibilityReport report = WalkAccessibility(&about);
    EXPECT_TRUE(report.violations.isEmpty()) << report.describe();
    EXPECT_GE(report.checked, 1);
}
} // namespace
