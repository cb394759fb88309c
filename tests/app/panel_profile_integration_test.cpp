// "Save Profile" and "Load Profile" from the window's menu, reaching the real VXC5480 panel.

#include "panel_host_fixture.h"

#include "app/version_info.h"
#include "chips/vxc5480/register_map.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace mainwindow;

namespace {

class ProfileCommandTest : public PanelHostTest {
  protected:
    void SetUp() override {
        PanelHostTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        platform::SetFileDialogAnswer([this](const platform::FileDialogRequest &request) {
            requests.push_back(request);
            return answer;
        });
    }
    void detect() {
        for (uint8_t a = 1; a < 11; ++a)
            board.setRegisterValue(a, kChip[a]);
        clickDetect();
        ASSERT_NE(panel(), nullptr);
        board.clearReceivedFrames();
    }
    static QByteArray readFile(const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void writeFile(const QString &path, const QByteArray &bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static constexpr uint8_t kChip[11] = {0x00, 0x38, 0x3B, 0x82, 0x15, 0x45,
                                          0x23, 0x01, 0x00, 0x00, 0x40};
    QTemporaryDir dir;
    QString answer;
    std::vector<platform::FileDialogRequest> requests;
};

TEST_F(ProfileCommandTest, SaveWritesTheChipValuesWhereTheUserChose) {
    detect();
    answer = dir.filePath(QStringLiteral("chosen.ini"));
    // Edits not written to the chip are not part of the profile.
    panel()->m_pending[vxc5480::kMux] = 0x77;
    dlg.OnSysCommand(syscmd::kSaveProfile);

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].owner, &dlg);
    EXPECT_EQ(requests[0].filters, (QStringList{QStringLiteral("Profile Format(*.ini)"),
                                                QStringLiteral("All Format(*.*)")}));
    EXPECT_EQ(requests[0].defaultSuffix, QStringLiteral("ini"));
    QByteArray expected = "[EVM]\r\nTarget=VXC5480\r\n[REG]\r\n";
    const char *keys[11] = {"STATUS", "MUX",  "ADCON", "DRAT", "IO",  "OFC0",
                            "OFC1",   "OFC2", "FSC0",  "FSC1", "FSC2"};
    for (int a = 0; a < 11; ++a)
        expected += QByteArray(keys[a]) + "=0x" +
                    QByteArray::number(panel()->m_current[a], 16).toUpper().rightJustified(2, '0') +
                    "\r\n";
    EXPECT_EQ(readFile(answer), expected);
    EXPECT_TRUE(readFile(answer).contains("\r\nMUX=0x38\r\nADCON=0x3B\r\nDRAT=0x82\r\n"));
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_TRUE(board.receivedFrames().empty());
}

TEST_F(ProfileCommandTest, DialogsProposePellorinIniInTheProgramsFolder) {
    detect();
    const QString exeDir = g_exeDir;
    ASSERT_EQ(exeDir,
              QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator());
    const QString home = QDir::toNativeSeparators(QDir::homePath() + QStringLiteral("/"));
    struct Case {
        QString exeDir;
        QString proposed;
    };
    // A folder the program cannot write to (an installed program) sends the user home.
    const Case cases[] = {
        {exeDir, QFileInfo(exeDir).isWritable() ? exeDir + QStringLiteral("Pellorin.ini")
                                                : home + QStringLiteral("Pellorin.ini")},
        {QStringLiteral("/nonexistent-pellorin/"), home + QStringLiteral("Pellorin.ini")},
    };
    for (const Case &c : cases) {
        g_exeDir = c.exeDir;
        requests.clear();
        dlg.OnSysCommand(syscmd::kSaveProfile);
        dlg.OnSysCommand(syscmd::kLoadProfile);
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[0].proposedPath, c.proposed);
        EXPECT_EQ(requests[1].proposedPath, c.proposed);
        EXPECT_FALSE(requests[1].save);
    }
    g_exeDir = exeDir;
}

TEST_F(ProfileCommandTest, LoadOfASavedProfileFillsPendingAndResetsTheChart) {
    detect();
    answer = dir.filePath(QStringLiteral("saved.ini"));
    dlg.OnSysCommand(syscmd::kSaveProfile);
    const std::vector<uint8_t> saved = panel()->m_current;
    // The chip moves on and the panel reads it again.
    board.setRegisterValue(vxc5480::kMux, 0x01);
    board.setRegisterValue(vxc5480::kDrate, 0xF0);
    ASSERT_EQ(panel()->RefreshFromChip(), 0);
    board.clearReceivedFrames();
    dirtyChartView();

    dlg.OnSysCommand(syscmd::kLoadProfile);
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join(u'|').toStdString();
    // Loaded values wait in pending for the next Write; the current image stays the chip's.
    EXPECT_EQ(panel()->m_pending[vxc5480::kMux], saved[vxc5480::kMux]);
    EXPECT_EQ(panel()->m_pending[vxc5480::kDrate], 0x82);
    EXPECT_EQ(panel()->m_pending[vxc5480::kFsc2], 0x40);
    EXPECT_EQ(panel()->m_current[vxc5480::kMux], 0x01);
    EXPECT_TRUE(board.receivedFrames().empty());
    EXPECT_TRUE(chartViewIsReset());
}

TEST_F(ProfileCommandTest, OtherChipsProfileIsRefusedAndTheChartResetAllTheSame) {
    detect();
    answer = dir.filePath(QStringLiteral("two-channel.ini"));
    writeFile(answer, "[EVM]\r\nTarget=VXC5420\r\n[REG]\r\nMUX=0x77\r\n");
    const std::vector<uint8_t> pending = panel()->m_pending;
    dirtyChartView();

    dlg.OnSysCommand(syscmd::kLoadProfile);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text,
              QStringLiteral("The profile is invalid for \"VXC5480\""));
    EXPECT_EQ(messages.messages()[0].caption, QStringLiteral("Error !"));
    EXPECT_EQ(panel()->m_pending, pending);
    EXPECT_TRUE(chartViewIsReset());
}

TEST_F(ProfileCommandTest, NothingHappensBeforeADetection) {
    const QString existing = dir.filePath(QStringLiteral("existing.ini"));
    writeFile(existing, "[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nMUX=0x77\r\n");
    dirtyChartView();
    answer = existing;
    dlg.OnSysCommand(syscmd::kLoadProfile);
    answer = dir.filePath(QStringLiteral("new.ini"));
    dlg.OnSysCommand(syscmd::kSaveProfile);

    EXPECT_EQ(requests.size(), 2u); // the dialogs still open
    EXPECT_FALSE(QFileInfo::exists(answer));
    EXPECT_EQ(edit(kDataCount)->text(), QStringLiteral("99"));
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_TRUE(board.receivedFrames().empty());
}

} // namespace
