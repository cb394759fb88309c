#include "acquisition/acquisition_controller.h"
#include "app/about_dlg.h"
#include "app/main_window_layout.h"
#include "app/pellorin_dlg.h"
#include "app/system_menu.h"
#include "app/version_info.h"
#include "platform/colour_chooser.h"
#include "platform/file_dialogs.h"
#include "platform/message_service.h"
#include "resources/main_window_ids.h"
#include "tests/support/modal_helper.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace mainwindow;

namespace {
class MainWindowTest : public ::testing::Test {
  protected:
    platform::MessageRecorder messages;
    CPellorinDlg dlg;

    template <typename T> T *get(int id) {
        T *widget = qobject_cast<T *>(dlg.control(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }
};
} // namespace

TEST_F(MainWindowTest, TitleIsTheExecutableNameAndVersion) {
    const QString exeName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    EXPECT_EQ(dlg.windowTitle(), exeName + QStringLiteral(" v2.0.0.3"));
}

TEST_F(MainWindowTest, StartUpState) {
    auto *modules = get<QComboBox>(kModuleList);
    ASSERT_EQ(modules->count(), 2);
    EXPECT_EQ(modules->itemText(0), QStringLiteral("VXC5480"));
    EXPECT_EQ(modules->itemText(1), QStringLiteral("VXC5420"));
    EXPECT_EQ(modules->itemData(0).toInt(), 1);
    EXPECT_EQ(modules->itemData(1).toInt(), 2);
    EXPECT_EQ(modules->currentIndex(), 0);

    auto *graph = get<QComboBox>(kGraphType);
    ASSERT_EQ(graph->count(), 2);
    EXPECT_EQ(graph->itemText(0), QStringLiteral("Line Chart"));
    EXPECT_EQ(graph->itemText(1), QStringLiteral("Gaussian distribution"));
    EXPECT_EQ(graph->currentIndex(), 0);

    EXPECT_FALSE(get<QPushButton>(kStartAcquisition)->isEnabled());
    EXPECT_EQ(get<QPushButton>(kStartAcquisition)->text(), QStringLiteral("Start get ADC data"));
    EXPECT_EQ(get<QPushButton>(kDetectEvm)->text(), QStringLiteral("Detect EVM"));
    EXPECT_EQ(get<QPushButton>(kSaveFile)->text(), QStringLiteral("Save File"));
    EXPECT_EQ(get<QLabel>(kModuleLabel)->text(), QStringLiteral("EVM Module"));
    EXPECT_EQ(get<QLabel>(kLogPathLabel)->text(), QStringLiteral("Log File Path"));
    EXPECT_TRUE(get<QLabel>(kPortLabel)->text().isEmpty());

    auto *count = get<QLineEdit>(kDataCount);
    EXPECT_EQ(count->text(), QStringLiteral("45"));
    EXPECT_EQ(count->maxLength(), 5);
    for (int id : {kMinimum, kMaximum, kAverage}) {
        EXPECT_TRUE(get<QLineEdit>(id)->isReadOnly()) << id;
        EXPECT_TRUE(get<QLineEdit>(id)->text().isEmpty()) << id;
    }
    auto *progress = get<QProgressBar>(kProgress);
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 100);
    EXPECT_EQ(get<QScrollBar>(kChartScroll)->orientation(), Qt::Horizontal);
    for (int id : {kLogPath, kGridColor, kDataColor, kBackgroundColor, kScaleColor, kLogo})
        EXPECT_NE(dlg.control(id), nullptr) << id;
    EXPECT_EQ(dlg.m_pPanel, nullptr);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(MainWindowTest, ChartAreaIsLargeEnoughAndNamed) {
    QWidget *chart = dlg.control(kChartArea);
    ASSERT_NE(chart, nullptr);
    EXPECT_GE(chart->width(), 520);
    EXPECT_GE(chart->height(), 340);
    EXPECT_EQ(chart->accessibleName(), QStringLiteral("Chart"));
}

TEST_F(MainWindowTest, ChartLabelFontsAreArial15) {
    const AcquisitionController *chart = dlg.acquisition();
    for (const QFont &font : {chart->m_lineChartFont, chart->m_distributionFont}) {
        EXPECT_EQ(font.family(), QStringLiteral("Arial"));
        // A 15-pixel character cell, as the chart's label boxes are laid out for.
        EXPECT_LE(QFontMetrics(font).height(), 15);
        EXPECT_GE(QFontMetrics(font).height(), 14);
        EXPECT_EQ(font.weight(), QFont::Normal);
        EXPECT_FALSE(font.italic());
    }
    EXPECT_FALSE(dlg.m_hIcon.isNull());
}

TEST_F(MainWindowTest, PanelAreaIsFreeOfControls) {
    const QRect area(kPanelOrigin, kPanelArea);
    for (QWidget *child : dlg.clientArea()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        EXPECT_FALSE(area.intersects(child->geometry())) << child->metaObject()->className();
}

TEST_F(MainWindowTest, MenuHasTheCommandsInOrder) {
    ASSERT_NE(dlg.commandMenuBar(), nullptr);
    // The command menu comes first; "&Analysis" follows it (tests/app/analysis_menu_test.cpp).
    ASSERT_EQ(dlg.commandMenuBar()->actions().size(), 2);
    QMenu *menu = dlg.commandMenuBar()->actions().first()->menu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), 5);
    const std::pair<const char *, int> expected[] = {{"&Load Profile", syscmd::kLoadProfile},
                                                     {"&Save Profile", syscmd::kSaveProfile},
                                                     {"", -1},
                                                     {"&Update Firmware", syscmd::kUpdateFirmware},
                                                     {"&About Pellorin...", syscmd::kAbout}};
    for (int i = 0; i < 5; ++i) {
        const auto &[text, id] = expected[i];
        if (id == -1) {
            EXPECT_TRUE(actions[i]->isSeparator()) << i;
            continue;
        }
        EXPECT_FALSE(actions[i]->isSeparator()) << i;
        EXPECT_EQ(actions[i]->text(), QLatin1String(text));
        EXPECT_EQ(actions[i]->data().toInt(), id);
    }
}

TEST_F(MainWindowTest, AboutItemShowsTheAboutBox) {
    QString caption;
    WhenModalShows([&](QWidget *modal) {
        caption = modal->windowTitle();
        EXPECT_NE(qobject_cast<CAboutDlg *>(modal), nullptr);
        qobject_cast<QPushButton *>(static_cast<CAboutDlg *>(modal)->control(1))->click();
    });
    QMenu *menu = dlg.commandMenuBar()->actions().first()->menu();
    menu->actions().last()->trigger();
    EXPECT_EQ(caption, QStringLiteral("About Pellorin"));
}

TEST_F(MainWindowTest, SystemCommandsAreMaskedAndUnknownOnesIgnored) {
    int shown = 0;
    WhenModalShows([&](QWidget *modal) {
        ++shown;
        static_cast<QDialog *>(modal)->accept();
    });
    dlg.OnSysCommand(syscmd::kAbout | 0x7);
    EXPECT_EQ(shown, 1);
    dlg.OnSysCommand(0xF060); // a command this window does not handle
    // Without an image the update asks for one; cancelled, it does nothing.
    platform::SetFileDialogAnswer([](const platform::FileDialogRequest &) { return QString(); });
    dlg.OnSysCommand(syscmd::kUpdateFirmware);
    platform::SetFileDialogAnswer({});
    EXPECT_TRUE(messages.messages().empty());
}

TEST(AboutBox, ShowsFixedTexts) {
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Pellorin"));
    EXPECT_EQ(qobject_cast<QLabel *>(about.control(1004))->text(),
              QStringLiteral("Pellorin, Version 2.0.0.0"));
    EXPECT_EQ(qobject_cast<QLabel *>(about.control(1005))->text(),
              QStringLiteral("Firmware Version :"));
    EXPECT_FALSE(qobject_cast<QLabel *>(about.control(1006))->text().isEmpty());
    EXPECT_FALSE(qobject_cast<QLabel *>(about.control(1007))->text().isEmpty());
    auto *ok = qobject_cast<QPushButton *>(about.control(1));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    about.show();
    ok->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST_F(MainWindowTest, EscapeAndReturnNeverCloseTheWindow) {
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    auto *count = get<QLineEdit>(kDataCount);
    auto *detect = get<QPushButton>(kDetectEvm);
    QSignalSpy detectClicks(detect, &QPushButton::clicked);
    for (QWidget *target : {static_cast<QWidget *>(&dlg), static_cast<QWidget *>(count),
                            static_cast<QWidget *>(detect)}) {
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(target, key);
            EXPECT_TRUE(dlg.isVisible()) << target->metaObject()->className() << " " << key;
        }
    }
    // Return on the focused button must not start a scan either.
    EXPECT_EQ(detectClicks.count(), 0);
    EXPECT_EQ(count->text(), QStringLiteral("45"));
}

TEST_F(MainWindowTest, LabelsNameTheirControls) {
    const std::pair<const char *, int> labelled[] = {
        {"EVM Module", kModuleList},
        {"Graph Type", kGraphType},
        {"Data Count", kDataCount},
        {"Collecting", kProgress},
        {"Minimum", kMinimum},
        {"Maximum", kMaximum},
        {"Average", kAverage},
        {"Scale Color", kScaleColor},
        {"Background Color", kBackgroundColor},
        {"Grid Color", kGridColor},
        {"Data Color", kDataColor},
        {"Log File Path", kLogPath},
    };
    const QList<QLabel *> labels = dlg.findChildren<QLabel *>();
    for (const auto &[text, id] : labelled) {
        const auto it = std::find_if(labels.begin(), labels.end(), [&](QLabel *label) {
            return label->text() == QLatin1String(text);
        });
        ASSERT_NE(it, labels.end()) << text;
        EXPECT_EQ((*it)->buddy(), dlg.control(id)) << text;
        EXPECT_EQ(dlg.control(id)->accessibleName(), QLatin1String(text));
    }
    for (int id : {kDetectEvm, kStartAcquisition, kSaveFile}) {
        auto *button = get<QPushButton>(id);
        EXPECT_EQ(button->accessibleName(), button->text());
    }
}

TEST_F(MainWindowTest, EveryControlIsReachableWithTab) {
    const int controls[] = {
        kModuleList,      kDetectEvm, kDataCount, kStartAcquisition, kProgress,  kChartArea,
        kChartScroll,     kMinimum,   kMaximum,   kAverage,          kGraphType, kScaleColor,
        kBackgroundColor, kGridColor, kDataColor, kLogPath,          kSaveFile};
    QSet<QWidget *> chain;
    QWidget *start = dlg.control(kModuleList);
    QWidget *w = start;
    do {
        chain.insert(w);
        w = w->nextInFocusChain();
    } while (w != start && chain.size() < 200);
    for (int id : controls) {
        QWidget *control = dlg.control(id);
        EXPECT_TRUE(chain.contains(control)) << id;
        EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus) << id;
    }
}

TEST_F(MainWindowTest, SpaceOnASwatchChoosesItsColour) {
    const std::pair<int, QColor> swatches[] = {{kScaleColor, QColor(1, 2, 3)},
                                               {kBackgroundColor, QColor(4, 5, 6)},
                                               {kGridColor, QColor(7, 8, 9)},
                                               {kDataColor, QColor(10, 11, 12)}};
    QColor answer;
    platform::SetColorChooserAnswer(
        [&](const QColor &) -> std::optional<QColor> { return answer; });
    for (const auto &[id, colour] : swatches) {
        answer = colour;
        QTest::keyClick(dlg.control(id), Qt::Key_Space);
        ASSERT_NE(dlg.controlAs<ColorSwatch>(id), nullptr) << id;
        EXPECT_EQ(dlg.controlAs<ColorSwatch>(id)->color(), colour) << id;
    }
    platform::SetColorChooserAnswer({});
}

TEST_F(MainWindowTest, ProfileCommandsWithoutABoardOnlyAskForTheFile) {
    QList<platform::FileDialogRequest> requests;
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &request) {
        requests << request;
        return QCoreApplication::applicationFilePath(); // an existing file
    });
    get<QLineEdit>(kDataCount)->setText(QStringLiteral("123"));
    dlg.OnSysCommand(syscmd::kLoadProfile);
    dlg.OnSysCommand(syscmd::kSaveProfile);
    platform::SetFileDialogAnswer({});

    ASSERT_EQ(requests.size(), 2);
    EXPECT_FALSE(requests[0].save);
    EXPECT_TRUE(requests[1].save);
    for (const platform::FileDialogRequest &request : requests) {
        EXPECT_EQ(request.owner, &dlg);
        EXPECT_EQ(request.proposedPath, DefaultProfilePath());
        EXPECT_TRUE(request.proposedPath.endsWith(QStringLiteral("Pellorin.ini")));
    }
    // Without a board nothing reached a panel, so the chart view was not reset.
    EXPECT_EQ(get<QLineEdit>(kDataCount)->text(), QStringLiteral("123"));
    EXPECT_TRUE(messages.messages().empty());
}
