// One table of places where a file cannot be written, run for every writer a user meets: the
// command line's profile save, acquire --out, --spectrum, acquire to standard output and scan
// --out, and the window's "Save File", "Save Profile" and the input scan's "Export...". No row may
// end in success, change a file that was there, or leave a temporary file behind; none may hang (a
// FIFO) or read without end (a device).

#include "app/pellorin_dlg.h"
#include "app/system_menu.h"
#include "cli/cli_run.h"
#include "cli/descriptor_stream.h"
#include "cli/exit_codes.h"
#include "link/serial_transport.h"
#include "platform/file_dialogs.h"
#include "platform/message_service.h"
#include "resources/main_window_ids.h"
#include "scan/scan_dlg.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"
#include "tests/support/time_limits.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <map>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

enum class Place { FullDisk, DevFull, Fifo, Folder, MissingFolder, UnwritableFolder, ReadOnlyFile };
enum class Writer {
    CliProfileSave,
    CliAcquireOut,
    CliAcquireSpectrum,
    CliAcquireStdout,
    WindowSaveFile,
    WindowSaveProfile,
    CliScanOut,
    WindowScanExport
};

const std::map<Place, const char *> kPlaceNames = {{Place::FullDisk, "FullDisk"},
                                                   {Place::DevFull, "DevFull"},
                                                   {Place::Fifo, "Fifo"},
                                                   {Place::Folder, "Folder"},
                                                   {Place::MissingFolder, "MissingFolder"},
                                                   {Place::UnwritableFolder, "UnwritableFolder"},
                                                   {Place::ReadOnlyFile, "ReadOnlyFile"}};
const std::map<Writer, const char *> kWriterNames = {
    {Writer::CliProfileSave, "CliProfileSave"},
    {Writer::CliAcquireOut, "CliAcquireOut"},
    {Writer::CliAcquireSpectrum, "CliAcquireSpectrum"},
    {Writer::CliAcquireStdout, "CliAcquireStdout"},
    {Writer::WindowSaveFile, "WindowSaveFile"},
    {Writer::WindowSaveProfile, "WindowSaveProfile"},
    {Writer::CliScanOut, "CliScanOut"},
    {Writer::WindowScanExport, "WindowScanExport"}};

void PrintTo(Place place, std::ostream *out) {
    *out << kPlaceNames.at(place);
}
void PrintTo(Writer writer, std::ostream *out) {
    *out << kWriterNames.at(writer);
}

// The full disk: files stop growing at this size. Every file a row writes is larger.
constexpr rlim_t kDiskRoom = 1024;
// Samples per acquisition: 1200 raw bytes, 3300 text bytes.
constexpr int kCount = 300;

QByteArray encoded(const QString &path) {
    return QFile::encodeName(path);
}

// A profile the save must keep every line of; with its comment, any save of it outgrows the
// full disk's room.
QByteArray oldProfile() {
    return "; " + QByteArray(2000, 'c') + "\r\n[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nMUX=0x12\r\n";
}

// The files a test puts down, and what they were, to compare after the run.
class Scene {
  public:
    explicit Scene(Place place) : m_place(place) {
        m_folder = m_root.filePath(place == Place::MissingFolder ? QStringLiteral("missing/out")
                                                                 : QStringLiteral("out"));
        if (place != Place::MissingFolder)
            QDir().mkpath(m_folder);
    }
    ~Scene() {
        if (m_mounted)
            ::umount2(encoded(m_folder).constData(), MNT_DETACH);
        ::chmod(encoded(m_folder).constData(), 0755);
    }
    Scene(const Scene &) = delete;
    Scene &operator=(const Scene &) = delete;

    QString root() const { return m_root.path(); }
    QString path(const QString &name) const { return m_folder + u'/' + name; }

    // The file the row is about: the place itself, or an old file the place keeps from change.
    QString target(const QString &name, const QByteArray &old) {
        const QString file = path(name);
        const QByteArray native = encoded(file);
        switch (m_place) {
        case Place::DevFull:
            // Root could replace the real /dev/full; a node of its own in the test folder
            // behaves the same.
            if (::geteuid() == 0)
                EXPECT_EQ(::mknod(native.constData(), S_IFCHR | 0666, makedev(1, 7)), 0);
            else
                EXPECT_TRUE(QFile::link(QStringLiteral("/dev/full"), file));
            break;
        case Place::Fifo:
            EXPECT_EQ(::mkfifo(native.constData(), 0666), 0);
            break;
        case Place::Folder:
            EXPECT_TRUE(QDir().mkdir(file));
            break;
        case Place::MissingFolder:
            break;
        case Place::FullDisk:
        case Place::UnwritableFolder:
        case Place::ReadOnlyFile:
            keep(name, old);
            if (m_place == Place::ReadOnlyFile) {
                EXPECT_EQ(::chmod(native.constData(), 0444), 0);
            }
            break;
        }
        m_names << name;
        m_types[name] = typeOf(name);
        return file;
    }
    // Another file of the same save, there before and to be kept as it was.
    QString keep(const QString &name, const QByteArray &old) {
        if (m_place == Place::MissingFolder)
            return path(name);
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
        m_old[name] = old;
        m_names << name;
        m_types[name] = typeOf(name);
        return path(name);
    }
    // A name the writer may add (the window writes its raw data file before the text file).
    void allow(const QString &name) { m_allowed << name; }

    // Once the files are down: the unwritable folder becomes read-only. False when this system
    // cannot make it so for root.
    bool seal() {
        if (m_place != Place::UnwritableFolder)
            return true;
        if (::geteuid() != 0)
            return ::chmod(encoded(m_folder).constData(), 0555) == 0;
        // Root writes into any folder; a read-only mount holds even root back.
        const QByteArray native = encoded(m_folder);
        if (::mount(native.constData(), native.constData(), nullptr, MS_BIND, nullptr) != 0)
            return false;
        m_mounted = true;
        return ::mount(nullptr, native.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                       nullptr) == 0;
    }

    // What differs from before the run: empty when every old file is as it was and no other
    // file has appeared.
    QString changes() const {
        QString found;
        for (const auto &[name, type] : m_types) {
            if (typeOf(name) != type)
                found += name + QStringLiteral(" is no longer what it was; ");
        }
        for (const auto &[name, old] : m_old) {
            QFile file(path(name));
            if (!file.open(QIODevice::ReadOnly) || file.readAll() != old)
                found += name + QStringLiteral(" changed; ");
        }
        const QStringList now = QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                         QDir::NoDotAndDotDot | QDir::System);
        for (const QString &name : now) {
            if (!m_names.contains(name) && !m_allowed.contains(name))
                found += name + QStringLiteral(" appeared; ");
        }
        return found;
    }

  private:
    // The kind of thing at name (file, folder, FIFO, device, link), or 0 for nothing.
    mode_t typeOf(const QString &name) const {
        struct stat status {};
        return ::lstat(encoded(path(name)).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
    }

    Place m_place;
    QTemporaryDir m_root;
    QString m_folder;
    QStringList m_names;
    QStringList m_allowed;
    std::map<QString, QByteArray> m_old;
    std::map<QString, mode_t> m_types;
    bool m_mounted = false;
};

// The full disk of the FullDisk row, for the duration of the run: the process may make no file
// larger than kDiskRoom, and a write past it fails (EFBIG) instead of ending the process.
class DiskRoom {
  public:
    explicit DiskRoom(bool full) : m_full(full) {
        if (!m_full)
            return;
        ::getrlimit(RLIMIT_FSIZE, &m_before);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = kDiskRoom;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~DiskRoom() {
        if (!m_full)
            return;
        ::setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_signal);
    }
    DiskRoom(const DiskRoom &) = delete;
    DiskRoom &operator=(const DiskRoom &) = delete;

  private:
    bool m_full;
    rlimit m_before{};
    void (*m_signal)(int) = SIG_DFL;
};

struct Outcome {
    bool succeeded = false;
    QString told; // what the user was told, one message per line
};

// Each message and its detail, one per line.
QString toldBy(const platform::MessageRecorder &messages) {
    QStringList lines;
    for (const platform::Message &message : messages.messages()) {
        lines << message.text;
        if (!message.detail.isEmpty())
            lines << message.detail;
    }
    return lines.join(u'\n');
}

class FileCasesTest : public ::testing::TestWithParam<std::tuple<Writer, Place>> {
  protected:
    void SetUp() override { ASSERT_TRUE(m_pty.start()); }
    void TearDown() override {
        platform::SetFileDialogAnswer({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString port() const { return m_pty.port(); }

    Outcome runCli(const QStringList &arguments, std::ostream &out, bool full) {
        std::ostringstream err;
        int status = -1;
        {
            const DiskRoom room(full);
            status = cli::RunCli(
                QStringList{QStringLiteral("--port"), port(), QStringLiteral("--no-scan")} +
                    arguments,
                out, err);
        }
        EXPECT_TRUE(status == cli::exit_code::kOk || status == cli::exit_code::kFile)
            << "the board's side never fails here: " << err.str();
        return {status == cli::exit_code::kOk, QString::fromStdString(err.str())};
    }

    // The window after "Detect EVM", and after kCount samples when the save needs them.
    Outcome runWindow(Writer writer, const QString &answer, bool full) {
        CPellorinDlg dlg;
        dlg.setPortSearch(m_pty.search());
        QTest::mouseClick(dlg.control(mainwindow::kDetectEvm), Qt::LeftButton);
        EXPECT_NE(dlg.m_pPanel.data(), nullptr);
        if (writer == Writer::WindowSaveFile) {
            qobject_cast<QLineEdit *>(dlg.control(mainwindow::kDataCount))
                ->setText(QString::number(kCount));
            QTest::mouseClick(dlg.control(mainwindow::kStartAcquisition), Qt::LeftButton);
        }
        platform::SetFileDialogAnswer(
            [answer](const platform::FileDialogRequest &) { return answer; });
        platform::MessageRecorder messages;
        {
            const DiskRoom room(full);
            if (writer == Writer::WindowSaveFile)
                QTest::mouseClick(dlg.control(mainwindow::kSaveFile), Qt::LeftButton);
            else
                dlg.OnSysCommand(syscmd::kSaveProfile);
        }
        const QString told = toldBy(messages);
        return {!told.contains(QStringLiteral("Failed !")), told};
    }

    // The scan window after a scan of sixteen input pairs (a table larger than the full disk's
    // room), exporting to answer.
    Outcome runScanExport(const QString &answer, bool full) {
        CPellorinDlg dlg;
        dlg.setPortSearch(m_pty.search());
        QTest::mouseClick(dlg.control(mainwindow::kDetectEvm), Qt::LeftButton);
        EXPECT_NE(dlg.m_pPanel.data(), nullptr);
        dlg.OnInputScan();
        CScanDlg *scan = dlg.scanWindow();
        scan->countSpin()->setValue(20);
        for (int i = 0; i < 16; ++i)
            scan->inputList()->item(i)->setCheckState(Qt::Checked);
        QSignalSpy ended(scan, &CScanDlg::finished);
        scan->OnRun();
        EXPECT_TRUE(ended.count() > 0 || ended.wait(kEventWaitLimitMs));
        EXPECT_TRUE(scan->lastOutcome().complete());
        platform::SetFileDialogAnswer(
            [answer](const platform::FileDialogRequest &) { return answer; });
        platform::MessageRecorder messages;
        {
            const DiskRoom room(full);
            scan->OnExport();
        }
        const QString told = toldBy(messages);
        return {told.isEmpty(), told};
    }

    BoardOnPty m_pty{sim::Chip::VXC5480, sim::Pacing::None};
    sim::VirtualBoard &m_board = m_pty.board();
};

TEST_P(FileCasesTest, NothingIsLostAndTheFailureIsTold) {
    const auto [writer, place] = GetParam();
    const bool full = place == Place::FullDisk;
    Scene scene(place);
    Outcome outcome;
    switch (writer) {
    case Writer::CliProfileSave: {
        const QString file = scene.target(QStringLiteral("p.ini"), oldProfile());
        if (!scene.seal())
            GTEST_SKIP() << "no read-only folder for root here (needs a bind mount)";
        std::ostringstream out;
        outcome = runCli({QStringLiteral("profile"), QStringLiteral("save"), file}, out, full);
        break;
    }
    case Writer::CliAcquireOut: {
        // The pair: the old raw file stays unless the text file can be written too.
        scene.keep(QStringLiteral("run.bin"), QByteArray(64, 'b'));
        scene.target(QStringLiteral("run.txt"), QByteArray(64, 't'));
        if (!scene.seal())
            GTEST_SKIP() << "no read-only folder for root here (needs a bind mount)";
        std::ostringstream out;
        outcome =
            runCli({QStringLiteral("acquire"), QStringLiteral("--count"), QString::number(kCount),
                    QStringLiteral("--out"), scene.path(QStringLiteral("run"))},
                   out, full);
        break;
    }
    case Writer::CliAcquireSpectrum: {
        const QString file = scene.target(QStringLiteral("spectrum.csv"), QByteArray(64, 's'));
        if (!scene.seal())
            GTEST_SKIP() << "no read-only folder for root here (needs a bind mount)";
        std::ostringstream out;
        outcome = runCli({QStringLiteral("acquire"), QStringLiteral("--count"),
                          QString::number(kCount), QStringLiteral("--spectrum"), file},
                         out, full);
        break;
    }
    case Writer::CliAcquireStdout: {
        const QString file = scene.target(QStringLiteral("out.txt"), QByteArray());
        const int fd = ::open(encoded(file).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        {
            cli::DescriptorBuffer buffer(fd);
            std::ostream out(&buffer);
            outcome = runCli(
                {QStringLiteral("acquire"), QStringLiteral("--count"), QString::number(kCount)},
                out, full);
        }
        ::close(fd);
        EXPECT_TRUE(outcome.told.contains(QStringLiteral("pellorin-cli: standard output: ")))
            << outcome.told.toStdString();
        EXPECT_FALSE(outcome.succeeded);
        return;
    }
    case Writer::WindowSaveFile: {
        const QString file = scene.target(QStringLiteral("run.txt"), QByteArray(64, 't'));
        scene.allow(QStringLiteral("run.bin")); // the window writes it first, as it always has
        if (!scene.seal())
            GTEST_SKIP() << "no read-only folder for root here (needs a bind mount)";
        outcome = runWindow(writer, file, full);
        break;
    }
    case Writer::WindowSaveProfile: {
        const QString file = scene.target(QStringLiteral("p.ini"), oldProfile());
        if (!scene.seal())
            GTEST_SKIP() << "no read-only folder for root here (needs a bind mount)";
        outcome = runWindow(writer, file, full);
        break;
    }
    case Writer::CliScanOut: {
        const QString file = scene.target(QStringLiteral("scan.csv"), QByteArray(64, 'x'));
        if (!scene.seal())
            GTEST_SKIP() << "no read-only folder for root here (needs a bind mount)";
        // Sixteen rows: a table larger than the full disk's room.
        QStringList pairs;
        for (int input = 0; input < 8; ++input)
            pairs << QStringLiteral("AIN%1-AINCOM").arg(input)
                  << QStringLiteral("AINCOM-AIN%1").arg(input);
        std::ostringstream out;
        outcome =
            runCli({QStringLiteral("scan"), QStringLiteral("--inputs"), pairs.join(u','),
                    QStringLiteral("--count"), QStringLiteral("20"), QStringLiteral("--out"), file},
                   out, full);
        break;
    }
    case Writer::WindowScanExport: {
        const QString file = scene.target(QStringLiteral("scan.csv"), QByteArray(64, 'x'));
        if (!scene.seal())
            GTEST_SKIP() << "no read-only folder for root here (needs a bind mount)";
        outcome = runScanExport(file, full);
        break;
    }
    }
    EXPECT_FALSE(outcome.succeeded) << outcome.told.toStdString();
    // Only a full disk shows itself late; the command line finds the rest before the board.
    if (!full && (writer == Writer::CliProfileSave || writer == Writer::CliAcquireOut ||
                  writer == Writer::CliAcquireSpectrum || writer == Writer::CliScanOut)) {
        EXPECT_TRUE(m_board.receivedFrames().empty());
    }
    // The message names a file of the save, then the cause.
    EXPECT_TRUE(outcome.told.contains(scene.root() + u'/')) << outcome.told.toStdString();
    EXPECT_EQ(scene.changes(), QString());
}

std::string rowName(const ::testing::TestParamInfo<std::tuple<Writer, Place>> &info) {
    return std::string(kWriterNames.at(std::get<0>(info.param))) + '_' +
           kPlaceNames.at(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileCasesTest,
    ::testing::Combine(::testing::Values(Writer::CliProfileSave, Writer::CliAcquireOut,
                                         Writer::CliAcquireSpectrum, Writer::WindowSaveFile,
                                         Writer::WindowSaveProfile, Writer::CliScanOut,
                                         Writer::WindowScanExport),
                       ::testing::Values(Place::FullDisk, Place::DevFull, Place::Fifo,
                                         Place::Folder, Place::MissingFolder,
                                         Place::UnwritableFolder, Place::ReadOnlyFile)),
    rowName);

// Standard output is opened by the shell: the program meets only writes that fail.
INSTANTIATE_TEST_SUITE_P(StandardOutput, FileCasesTest,
                         ::testing::Combine(::testing::Values(Writer::CliAcquireStdout),
                                            ::testing::Values(Place::FullDisk, Place::DevFull)),
                         rowName);

} // namespace
