// The application object on its own (it makes the QApplication, so this test has none).
#include "app/pellorin_app.h"
#include "app/pellorin_dlg.h"
#include "app/system_menu.h"
#include "link/serial_transport.h"
#include "platform/message_service.h"
#include "resources/main_window_ids.h"
#include "tests/support/time_limits.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include <cstdio>

// The virtual board of --simulate=VXC5420 is tried first, and the module list starts on its
// chip: the first "Detect EVM" finds it.
TEST(AppStart, SimulatedBoardIsTriedFirstAndFound) {
    static char arg0[] = "Pellorin", arg1[] = "--simulate=VXC5420", arg2[] = "--port",
                arg3[] = "/dev/pellorin-none", arg4[] = "-platform", arg5[] = "offscreen";
    static char *argv[] = {arg0, arg1, arg2, arg3, arg4, arg5, nullptr};
    static int argc = 6;
    CPellorinApp app(argc, argv);
    ASSERT_TRUE(app.InitInstance());

    platform::MessageRecorder messages;
    CPellorinDlg dlg;
    app.PrepareWindow(dlg);
    const QStringList preferred = dlg.portSearch().preferred;
    ASSERT_EQ(preferred.size(), 2);
    // The virtual board's stable link, as a USB bridge's /dev/serial/by-id/ name.
    EXPECT_TRUE(preferred[0].contains(QStringLiteral("/by-id/usb-Pellorin_Virtual_EVM_")));
    EXPECT_EQ(preferred[1], QStringLiteral("/dev/pellorin-none"));
    EXPECT_TRUE(dlg.portSearch().scanSystem);
    EXPECT_EQ(qobject_cast<QComboBox *>(dlg.control(mainwindow::kModuleList))->currentText(),
              QStringLiteral("VXC5420"));
    dlg.OnDetectEvm();
    EXPECT_EQ(qobject_cast<QLabel *>(dlg.control(mainwindow::kPortLabel))->text(), preferred[0]);
    EXPECT_TRUE(messages.messages().empty());

    // The simulated update device is there too, with a generated image to write.
    dlg.OnSysCommand(syscmd::kUpdateFirmware);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Firmware update succeeded !")});
}

TEST(AppStart, WithoutSimulateTheListStartsOnTheFirstModule) {
    static char arg0[] = "Pellorin", arg1[] = "--port", arg2[] = "/dev/pellorin-none",
                arg3[] = "-platform", arg4[] = "offscreen";
    static char *argv[] = {arg0, arg1, arg2, arg3, arg4, nullptr};
    static int argc = 5;
    CPellorinApp app(argc, argv);
    ASSERT_TRUE(app.InitInstance());
    CPellorinDlg dlg;
    app.PrepareWindow(dlg);
    EXPECT_EQ(qobject_cast<QComboBox *>(dlg.control(mainwindow::kModuleList))->currentIndex(), 0);
    EXPECT_EQ(dlg.portSearch().preferred, QStringList{QStringLiteral("/dev/pellorin-none")});
}

TEST(AppStart, BadCommandLineEndsTheProgram) {
    static char arg0[] = "Pellorin", arg1[] = "--simulate=VXC1234", arg2[] = "-platform",
                arg3[] = "offscreen";
    static char *argv[] = {arg0, arg1, arg2, arg3, nullptr};
    static int argc = 4;
    CPellorinApp app(argc, argv);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.exitCode(), 2);
}

// Run's exit code is the smoke test of an installed program.
TEST(AppStart, DetectAndQuitFindsTheSimulatedBoardAndQuits) {
    static char arg0[] = "Pellorin", arg1[] = "--simulate", arg2[] = "--detect-and-quit",
                arg3[] = "-platform", arg4[] = "offscreen";
    static char *argv[] = {arg0, arg1, arg2, arg3, arg4, nullptr};
    static int argc = 5;
    CPellorinApp app(argc, argv);
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(app.Run(), 0);
}

TEST(AppStart, DetectAndQuitFailsWithoutABoard) {
    static char arg0[] = "Pellorin", arg1[] = "--port", arg2[] = "/nonexistent/tty-pellorin",
                arg3[] = "--detect-and-quit", arg4[] = "-platform", arg5[] = "offscreen";
    static char *argv[] = {arg0, arg1, arg2, arg3, arg4, arg5, nullptr};
    static int argc = 6;
    CPellorinApp app(argc, argv);
    ASSERT_TRUE(app.InitInstance());
    const ExpectSilence silence;
    EXPECT_EQ(app.Run(), 1);
}

TEST(AppStart, HelpAndVersionEndTheProgramBeforeAnyDisplayIsNeeded) {
    for (const char *request : {"--help", "--version", "-h"}) {
        SCOPED_TRACE(request);
        static char arg0[] = "Pellorin", arg2[] = "--frobnicate";
        char arg1[16];
        std::snprintf(arg1, sizeof arg1, "%s", request);
        char *argv[] = {arg0, arg1, arg2, nullptr};
        int argc = 3;
        CPellorinApp app(argc, argv);
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(app.exitCode(), 0);
        EXPECT_EQ(QCoreApplication::instance(), nullptr);
    }
}
