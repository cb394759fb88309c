// "Update Firmware" in the main window, run against the simulated update device.
#include "app/pellorin_dlg.h"
#include "app/system_menu.h"
#include "firmware/firmware_image.h"
#include "firmware/hid_device.h"
#include "firmware/simulated_transport.h"
#include "platform/busy_flags.h"
#include "platform/file_dialogs.h"
#include "platform/message_service.h"
#include "sim/update_device.h"
#include "tests/support/board_on_pty.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
QByteArray bytesOf(const std::vector<uint8_t> &bytes) {
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

class FirmwareWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        firmware::SetHidTransport(&transport);
        firmware::SetUpdateTimeLimitDivisorForTests(10);
        firmware::SetImageBytesForRun(image);
    }
    void TearDown() override {
        EXPECT_FALSE(board().isOpen());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        platform::SetFileDialogAnswer({});
        firmware::ClearImageForRun();
        firmware::SetHidTransport(nullptr);
        firmware::SetUpdateTimeLimitDivisorForTests(1);
    }

    sim::UpdateDevice &board() { return transport.device(); }

    // The menu item, wherever the menu bar holds it.
    void triggerUpdateFirmware() {
        for (QMenu *menu : dlg.commandMenuBar()->findChildren<QMenu *>()) {
            for (QAction *action : menu->actions()) {
                if (action->data().toInt() == syscmd::kUpdateFirmware) {
                    action->trigger();
                    return;
                }
            }
        }
        ADD_FAILURE() << "no Update Firmware item";
    }

    const QByteArray image = bytesOf(sim::GeneratedFirmwareImage(1000));
    firmware::SimulatedTransport transport{firmware::UpdateVendorId()};
    platform::MessageRecorder messages{[](const platform::Message &message) {
        // The update's own messages come while the window shows the wait cursor; the window's
        // text for a result comes once the update is over, and an image file's failure (with
        // "PATH: reason" as its detail) before it starts.
        const QCursor *cursor = QApplication::overrideCursor();
        const bool waiting = cursor && cursor->shape() == Qt::WaitCursor;
        const bool fileError = !message.detail.isEmpty();
        EXPECT_EQ(waiting, message.caption != QStringLiteral("Error !") && !fileError)
            << qPrintable(message.text);
    }};
    CPellorinDlg dlg;
};
} // namespace

TEST_F(FirmwareWindowTest, MenuItemRunsTheUpdateUnderAWaitCursor) {
    triggerUpdateFirmware();
    ASSERT_EQ(messages.texts(), QStringList{QStringLiteral("Firmware update succeeded !")});
    EXPECT_EQ(messages.messages()[0].owner, &dlg);
    EXPECT_EQ(board().storedImage(), sim::GeneratedFirmwareImage(1000));
}

TEST_F(FirmwareWindowTest, ResultsShowTheirUpdateMessageAfterTheReplysOwn) {
    struct Case {
        sim::UpdateFaults faults;
        QStringList texts;
    };
    sim::UpdateFaults absent;
    absent.absent = true;
    sim::UpdateFaults noResponse;
    noResponse.statusForRequest[0x010A] = 3;
    sim::UpdateFaults brokenTransfer;
    brokenTransfer.failingTransfer = 0;
    const Case cases[] = {
        {absent, {QStringLiteral("Corvel is not found !")}},
        {noResponse,
         {QStringLiteral("DUT is no response !"),
          QStringLiteral("The device is not responding !")}},
        {brokenTransfer, {QStringLiteral("Update firmware fail ! (0x0000001F)")}},
    };
    for (const Case &c : cases) {
        messages.clear();
        board().setFaults(c.faults);
        dlg.OnSysCommand(syscmd::kUpdateFirmware);
        ASSERT_EQ(messages.texts(), c.texts);
        const platform::Message &last = messages.messages().back();
        EXPECT_EQ(last.caption, QStringLiteral("Error !"));
        EXPECT_EQ(last.icon, platform::MessageIcon::Error);
        EXPECT_EQ(last.owner, &dlg);
        EXPECT_FALSE(board().isOpen());
    }
}

TEST_F(FirmwareWindowTest, RunsWhileAnAcquisitionIsMarkedBusy) {
    // The busy flags are the detected board's: the window needs one to mark.
    BoardOnPty pty;
    ASSERT_TRUE(pty.start());
    dlg.setPortSearch(pty.search());
    dlg.OnDetectEvm();
    ASSERT_NE(dlg.currentBoard(), nullptr);
    messages.clear();
    dlg.currentBoard()->busy().acquiring = 1;
    dlg.OnSysCommand(syscmd::kUpdateFirmware);
    dlg.currentBoard()->busy().acquiring = 0;
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Firmware update succeeded !")});
    dlg.close(); // the window's link goes before the board does
}

TEST_F(FirmwareWindowTest, WithoutAnImageTheUserPicksOne) {
    firmware::ClearImageForRun();
    if (!firmware::CarriedImagePath().isEmpty())
        GTEST_SKIP() << "this build carries an image";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString good = dir.filePath(QStringLiteral("good.bin"));
    const QString empty = dir.filePath(QStringLiteral("empty.bin"));
    {
        QFile file(good);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(image);
        QFile none(empty);
        ASSERT_TRUE(none.open(QIODevice::WriteOnly));
    }
    QString answer;
    QStringList filters;
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &request) {
        filters = request.filters;
        EXPECT_FALSE(request.save);
        EXPECT_EQ(request.owner, &dlg);
        return answer;
    });

    // Cancelled: nothing happens.
    dlg.OnSysCommand(syscmd::kUpdateFirmware);
    EXPECT_EQ(filters, QStringList{QStringLiteral("Firmware image (*.bin)")});
    EXPECT_TRUE(messages.messages().empty());

    // A file that cannot be used is refused before the device is opened, with its reason; a
    // FIFO at once, not waited on.
    const QString fifo = dir.filePath(QStringLiteral("fifo.bin"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString missing = dir.filePath(QStringLiteral("missing.bin"));
    for (const QString &path : {empty, missing, fifo}) {
        answer = path;
        dlg.OnSysCommand(syscmd::kUpdateFirmware);
    }
    // One box each: the update's own text, the file and its cause as its detail.
    const QStringList details{empty + QStringLiteral(": Empty file"),
                              missing + QStringLiteral(": No such file or directory"),
                              fifo + QStringLiteral(": Not a regular file")};
    ASSERT_EQ(messages.messages().size(), size_t(details.size()));
    for (qsizetype i = 0; i < details.size(); ++i) {
        const platform::Message &shown = messages.messages()[size_t(i)];
        EXPECT_EQ(shown.text, QStringLiteral("Firmware update failed !"));
        EXPECT_EQ(shown.caption, QStringLiteral("Error"));
        EXPECT_EQ(shown.icon, platform::MessageIcon::Error);
        EXPECT_EQ(shown.detail, details[i]);
    }
    EXPECT_EQ(board().openCount(), 0);

    messages.clear();
    answer = good;
    dlg.OnSysCommand(syscmd::kUpdateFirmware);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Firmware update succeeded !")});
    EXPECT_EQ(board().storedImage(), sim::GeneratedFirmwareImage(1000));
}

TEST_F(FirmwareWindowTest, AGivenImageFileIsReadWhenTheUpdateStarts) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("given.bin"));
    firmware::SetImagePathForRun(path);
    dlg.OnSysCommand(syscmd::kUpdateFirmware); // not there yet
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(129, '\x42'));
    file.close();
    dlg.OnSysCommand(syscmd::kUpdateFirmware);
    EXPECT_EQ(messages.texts(), (QStringList{QStringLiteral("Firmware update failed !"),
                                             QStringLiteral("Firmware update succeeded !")}));
    EXPECT_EQ(messages.messages()[0].detail, path + QStringLiteral(": No such file or directory"));
    EXPECT_EQ(board().storedImage(), std::vector<uint8_t>(129, 0x42));
}
