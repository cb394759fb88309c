#include "platform/file_dialogs.h"
#include "platform/save_folder.h"
#include "tests/support/modal_helper.h"

#include <QFileDialog>

#include <gtest/gtest.h>

namespace {
struct AnswerGuard {
    ~AnswerGuard() {
        platform::SetFileDialogAnswer({});
        g_saveFolder.clear();
    }
};
} // namespace

TEST(FileDialogs, ProfileDialogAsksForIniFilesAndReturnsTheAnswer) {
    AnswerGuard guard;
    QWidget owner;
    for (bool save : {false, true}) {
        platform::FileDialogRequest seen;
        platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &request) {
            seen = request;
            return QStringLiteral("/tmp/chosen.ini");
        });
        EXPECT_EQ(platform::ChooseProfileFile(&owner, QStringLiteral("/opt/p/Pellorin.ini"), save),
                  QStringLiteral("/tmp/chosen.ini"));
        EXPECT_EQ(seen.owner, &owner);
        EXPECT_EQ(seen.proposedPath, QStringLiteral("/opt/p/Pellorin.ini"));
        EXPECT_EQ(seen.filters, QStringList({QStringLiteral("Profile Format(*.ini)"),
                                             QStringLiteral("All Format(*.*)")}));
        EXPECT_EQ(seen.defaultSuffix, QStringLiteral("ini"));
        EXPECT_EQ(seen.save, save);
    }
}

TEST(FileDialogs, CancelGivesAnEmptyPath) {
    AnswerGuard guard;
    platform::SetFileDialogAnswer([](const platform::FileDialogRequest &) { return QString(); });
    EXPECT_TRUE(
        platform::ChooseProfileFile(nullptr, QStringLiteral("Pellorin.ini"), false).isEmpty());
    EXPECT_TRUE(
        platform::ChooseSaveFile(nullptr, QStringLiteral("/tmp/ADC_1"), {}, QStringLiteral("txt"))
            .isEmpty());
}

TEST(FileDialogs, SaveDialogCarriesItsFiltersAndSuffix) {
    AnswerGuard guard;
    platform::FileDialogRequest seen;
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &request) {
        seen = request;
        return QStringLiteral("/tmp/run1.txt");
    });
    const QStringList filters{QStringLiteral("Normal text file(*.txt)"),
                              QStringLiteral("All Format(*.*)")};
    EXPECT_EQ(platform::ChooseSaveFile(nullptr, QStringLiteral("/tmp/ADC_20260102_13_05_09"),
                                       filters, QStringLiteral("txt")),
              QStringLiteral("/tmp/run1.txt"));
    EXPECT_TRUE(seen.save);
    EXPECT_EQ(seen.filters, filters);
    EXPECT_EQ(seen.defaultSuffix, QStringLiteral("txt"));
    EXPECT_EQ(seen.proposedPath, QStringLiteral("/tmp/ADC_20260102_13_05_09"));
}

// Without a test answer the real dialog opens, set up as the request says.
TEST(FileDialogs, RealSaveDialogProposesThePathAndConfirmsOverwrite) {
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QStringList filters;
    QString suffix;
    QString directory;
    bool confirms = false;
    WhenModalShows([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        mode = dialog->acceptMode();
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        directory = dialog->directory().absolutePath();
        confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->reject();
    });
    const QString chosen =
        platform::ChooseProfileFile(nullptr, QStringLiteral("/tmp/Pellorin.ini"), true);
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_EQ(mode, QFileDialog::AcceptSave);
    EXPECT_EQ(filters, QStringList({QStringLiteral("Profile Format(*.ini)"),
                                    QStringLiteral("All Format(*.*)")}));
    EXPECT_EQ(suffix, QStringLiteral("ini"));
    EXPECT_EQ(directory, QStringLiteral("/tmp"));
    EXPECT_TRUE(confirms);
}

// Every data-file dialog proposes the run's data folder, whatever folder its caller named, and
// the folder picked becomes the next proposal; a cancel or a bare name changes nothing.
TEST(FileDialogs, DataDialogsShareOneFolderThatFollowsThePick) {
    AnswerGuard guard;
    const struct {
        const char *folderBefore;
        const char *proposed;
        const char *answer;
        const char *expectedProposal;
        const char *folderAfter;
    } cases[] = {
        {"", "/home/u/ADC_noise_1.csv", "/data/a.csv", "/home/u/ADC_noise_1.csv", "/data/"},
        {"/opt/pellorin/", "/home/u/ADC_scan_1.csv", "/data/b/s.csv",
         "/opt/pellorin/ADC_scan_1.csv", "/data/b/"},
        {"/data/b/", "capture_1.h5", "", "/data/b/capture_1.h5", "/data/b/"},
        {"/data/b/", "/tmp/ADC_1", "plain.txt", "/data/b/ADC_1", "/data/b/"},
    };
    for (const auto &c : cases) {
        g_saveFolder = QString::fromLatin1(c.folderBefore);
        QString proposal;
        platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &request) {
            proposal = request.proposedPath;
            return QString::fromLatin1(c.answer);
        });
        EXPECT_EQ(platform::ChooseSaveFile(nullptr, QString::fromLatin1(c.proposed), {}, {}),
                  QString::fromLatin1(c.answer));
        EXPECT_EQ(proposal, QString::fromLatin1(c.expectedProposal)) << c.proposed;
        EXPECT_EQ(g_saveFolder, QString::fromLatin1(c.folderAfter)) << c.answer;
    }
}
