// firmware-update: the window's procedure on the simulated update device of --simulate, and
// the ways it ends before a device is touched.

#include "cli/cli_run.h"
#include "cli/exit_codes.h"
#include "firmware/hid_device.h"
#include "firmware/simulated_transport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

using namespace cli::exit_code;

namespace {
struct CliResult {
    int status;
    std::string out;
    std::string err;
};

CliResult runCli(const QStringList &arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::RunCli(arguments, out, err);
    return {status, out.str(), err.str()};
}
} // namespace

TEST(CliFirmware, SimulatedUpdateSucceedsWithTheGeneratedImage) {
    const CliResult r = runCli({QStringLiteral("--simulate"), QStringLiteral("firmware-update")});
    EXPECT_EQ(r.status, kOk);
    EXPECT_EQ(r.err, "pellorin-cli: Firmware update succeeded !\n");
    EXPECT_EQ(r.out, "");
}

// Refused at once, with the file and what is wrong with it; a FIFO is not waited on.
TEST(CliFirmware, AnImageThatCannotBeUsedIsRefusedBeforeTheDevice) {
    QTemporaryDir dir;
    const auto make = [&dir](const char *name, qsizetype size) {
        QFile file(dir.filePath(QLatin1String(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, '\x5A'));
        return file.fileName();
    };
    const QString fifo = dir.filePath(QStringLiteral("fifo.bin"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString image;
        const char *reason;
    } cases[] = {
        {dir.filePath(QStringLiteral("missing.bin")), "No such file or directory"},
        {make("empty.bin", 0), "Empty file"},
        {dir.path(), "Is a folder"},
        {fifo, "Not a regular file"},
        {make("large.bin", 1024 * 1024 + 1), "Larger than 1 MiB (1048577 bytes)"},
    };
    for (const auto &c : cases) {
        const CliResult r = runCli({QStringLiteral("--simulate"), QStringLiteral("firmware-update"),
                                    QStringLiteral("--image"), c.image});
        EXPECT_EQ(r.status, kFile) << c.reason;
        EXPECT_EQ(r.err, "pellorin-cli: " + c.image.toStdString() + ": " + c.reason + "\n");
    }
}

TEST(CliFirmware, WithoutAnImageTheUserIsToldToNameOne) {
    const CliResult r = runCli({QStringLiteral("firmware-update")});
    EXPECT_EQ(r.status, kUsage);
    EXPECT_NE(r.err.find("give --image FILE"), std::string::npos) << r.err;
}

TEST(CliFirmware, NoUpdateDeviceIsNoBoard) {
    // hidapi itself: no device of the configured vendor id is attached here.
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("image.bin"));
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(300, '\x5A'));
    file.close();
    const CliResult r =
        runCli({QStringLiteral("firmware-update"), QStringLiteral("--image"), image});
    EXPECT_EQ(r.status, kNoBoard);
    EXPECT_NE(r.err.find("pellorin-cli: firmware-update failed: result code 0x20000007\n"),
              std::string::npos)
        << r.err;
}

// A failure the procedure told itself ends the run with its result code, read from the outcome.
TEST(CliFirmware, AFailureTheUpdateToldEndsWithItsCode) {
    firmware::SimulatedTransport device(firmware::UpdateVendorId());
    sim::UpdateFaults faults;
    faults.configReadBackDiffers = true;
    device.device().setFaults(faults);
    firmware::SetHidTransport(&device);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("image.bin")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(300, '\x5A'));
    file.close();
    const CliResult r =
        runCli({QStringLiteral("firmware-update"), QStringLiteral("--image"), file.fileName()});
    firmware::SetHidTransport(nullptr);
    EXPECT_EQ(r.status, kExchange);
    EXPECT_EQ(r.err, "pellorin-cli: Firmware update failed !\n"
                     "pellorin-cli: firmware-update failed: result code 0x20000005\n");
}
