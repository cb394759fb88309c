// The platform's whole-file reader and writer on their own: what a read refuses and why, and
// what a write keeps (the old file's permissions, a symbolic link) and leaves behind (nothing).
// tests/platform/file_cases_test.cpp runs every writer of the program against the places a
// file cannot be written.

#include "platform/file_reader.h"
#include "platform/file_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

QString put(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QTemporaryDir &dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

struct ReadCase {
    const char *name;
    QString (*make)(const QTemporaryDir &dir); // the path to read
    const char *reason;                        // empty: the read succeeds
    bool missing;
};

const ReadCase kReadCases[] = {
    {"Missing", [](const QTemporaryDir &d) { return d.filePath(QStringLiteral("none")); },
     "No such file or directory", true},
    {"NoName", [](const QTemporaryDir &) { return QString(); }, "No file name", false},
    {"Folder", [](const QTemporaryDir &d) { return d.path(); }, "Is a folder", false},
    // A FIFO with no writer would hold a blocking open for ever.
    {"Fifo",
     [](const QTemporaryDir &d) {
         const QString path = d.filePath(QStringLiteral("fifo"));
         EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
         return path;
     },
     "Not a regular file", false},
    // Endless: read without a limit it fills the memory.
    {"DevZero", [](const QTemporaryDir &) { return QStringLiteral("/dev/zero"); },
     "Not a regular file", false},
    {"OneByteTooLarge",
     [](const QTemporaryDir &d) { return put(d, QStringLiteral("big"), QByteArray(17, 'x')); },
     "Larger than 16 bytes (17 bytes)", false},
    {"AtTheLimit",
     [](const QTemporaryDir &d) { return put(d, QStringLiteral("full"), QByteArray(16, 'x')); }, "",
     false},
    {"Empty", [](const QTemporaryDir &d) { return put(d, QStringLiteral("empty"), {}); }, "",
     false},
};

class ReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadTest, RefusesAllButARegularFileWithinTheLimit) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ReadCase &c = GetParam();
    const QString path = c.make(dir);
    const FileRead read = ReadRegularFile(path, 16);
    EXPECT_EQ(read.error.reason, QString::fromLatin1(c.reason));
    EXPECT_EQ(read.missing, c.missing);
    EXPECT_EQ(read.error.text(), path + QStringLiteral(": ") + QString::fromLatin1(c.reason));
    EXPECT_EQ(read.bytes, read.error.failed() ? QByteArray() : contents(path));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadTest, ::testing::ValuesIn(kReadCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(WholeFileWriter, ReplacesTheFileKeepingItsPermissionsAndLeavesNothingBehind) {
    QTemporaryDir dir;
    const QString path = put(dir, QStringLiteral("p.ini"), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_FALSE(WriteWholeFile(path, "new bytes").failed());
    EXPECT_EQ(contents(path), "new bytes");
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("p.ini")});
}

TEST(WholeFileWriter, WritesThroughASymbolicLink) {
    QTemporaryDir dir;
    const QString target = put(dir, QStringLiteral("real.ini"), "old");
    const QString link = dir.filePath(QStringLiteral("link.ini"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_FALSE(WriteWholeFile(link, "new").failed());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(target), "new");
}

TEST(WholeFileWriter, SeveralFilesAreWrittenAsOne) {
    QTemporaryDir dir;
    const QString first = put(dir, QStringLiteral("run.bin"), "old bin");
    const QString second = put(dir, QStringLiteral("run.txt"), "old txt");
    ASSERT_FALSE(WriteWholeFiles({{first, "new bin"}, {second, "new txt"}}).failed());
    EXPECT_EQ(contents(first), "new bin");
    EXPECT_EQ(contents(second), "new txt");
    EXPECT_EQ(entries(dir), (QStringList{QStringLiteral("run.bin"), QStringLiteral("run.txt")}));
}

// A file that passes every check and is written, yet cannot take the old one's place (a mount
// point answers EBUSY), puts back the files already in place.
TEST(WholeFileWriter, AFileThatCannotTakeItsPlaceUndoesTheOnesBefore) {
    QTemporaryDir dir;
    const QString first = put(dir, QStringLiteral("run.bin"), "old bin");
    const QString second = put(dir, QStringLiteral("run.txt"), "old txt");
    const QString cover = put(dir, QStringLiteral("cover"), "cover");
    if (::mount(QFile::encodeName(cover).constData(), QFile::encodeName(second).constData(),
                nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "needs a bind mount (root with CAP_SYS_ADMIN)";
    const FileError error = WriteWholeFiles({{first, "new bin"}, {second, "new txt"}});
    ::umount2(QFile::encodeName(second).constData(), MNT_DETACH);
    EXPECT_EQ(error.path, second);
    EXPECT_TRUE(error.failed());
    EXPECT_EQ(contents(first), "old bin");
    EXPECT_EQ(contents(second), "old txt");
    EXPECT_EQ(entries(dir), (QStringList{QStringLiteral("cover"), QStringLiteral("run.bin"),
                                         QStringLiteral("run.txt")}));
}

} // namespace
