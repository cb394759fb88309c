#include "app/version_info.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(VersionInfo, CompiledInVersionIsTheProjectVersion) {
    ProductVersion version{};
    EXPECT_EQ(ReadVersionInfo(version), 0);
    EXPECT_EQ(version, (ProductVersion{2, 0, 0, 3}));
}

TEST(VersionInfo, TitleIsNameBlankLowerCaseVAndFourNumbers) {
    EXPECT_EQ(FormatAppTitle(QStringLiteral("Pellorin"), {2, 0, 0, 3}),
              QStringLiteral("Pellorin v2.0.0.3"));
    EXPECT_EQ(FormatAppTitle(QStringLiteral("X"), {10, 65535, 0, 7}),
              QStringLiteral("X v10.65535.0.7"));
}

TEST(VersionInfo, AppNameIsTheFileNameWithoutExtension) {
    const std::pair<const char *, const char *> cases[] = {
        {"/usr/local/bin/Pellorin", "Pellorin"},
        {"/opt/tools/Pellorin.exe", "Pellorin"},
        {"/opt/tools/X.exe", "X"},
        {"/opt/tools/my.tool.exe", "my.tool"},
    };
    for (const auto &[path, name] : cases)
        EXPECT_EQ(AppNameFromPath(QLatin1String(path)), QLatin1String(name)) << path;
}

TEST(VersionInfo, ExeDirEndsWithASeparator) {
    const QString sep = QDir::separator();
    EXPECT_EQ(ExeDirFromPath(QStringLiteral("/usr/bin/Pellorin")),
              QDir::toNativeSeparators(QStringLiteral("/usr/bin")) + sep);
    // At the root the folder is the root itself, not a doubled separator.
    EXPECT_EQ(ExeDirFromPath(QStringLiteral("/Pellorin")),
              QDir::toNativeSeparators(QStringLiteral("/")));
    EXPECT_TRUE(ExeDirFromPath(QString()).isEmpty());
}

TEST(VersionInfo, FilesAreProposedInTheExeDirOnlyWhenItIsWritable) {
    QTemporaryDir writable;
    const QString dir = ExeDirFromPath(writable.filePath(QStringLiteral("Pellorin")));
    EXPECT_EQ(ProposedFileFolder(dir, QStringLiteral("/home/user")), dir);
    const QString gone = ExeDirFromPath(writable.filePath(QStringLiteral("missing/Pellorin")));
    EXPECT_EQ(ProposedFileFolder(gone, QStringLiteral("/home/user")),
              QDir::toNativeSeparators(QStringLiteral("/home/user/")));
    EXPECT_TRUE(ProposedFileFolder(QString(), QStringLiteral("/home/user")).isEmpty());
}

TEST(VersionInfo, PrepareFillsTitleFolderAndDefaultProfilePath) {
    QTemporaryDir dir;
    PrepareTitleAndFolder(dir.filePath(QStringLiteral("Pellorin")), {2, 0, 0, 3});
    EXPECT_EQ(g_appTitle, QStringLiteral("Pellorin v2.0.0.3"));
    EXPECT_EQ(g_exeDir, QDir::toNativeSeparators(dir.path()) + QDir::separator());
    EXPECT_EQ(DefaultProfilePath(), g_exeDir + QStringLiteral("Pellorin.ini"));

    // Where the program's folder is unknown the dialogs propose the bare name.
    PrepareTitleAndFolder(QString(), {2, 0, 0, 3});
    EXPECT_EQ(DefaultProfilePath(), QStringLiteral("Pellorin.ini"));
}
