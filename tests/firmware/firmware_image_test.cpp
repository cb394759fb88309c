#include "firmware/firmware_image.h"
#include "firmware/hid_device.h"
#include "firmware/update_firmware.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace firmware;

namespace {
QString writeFile(const QTemporaryDir &dir, const QString &name, qsizetype size) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(size, '\x5A'));
    return path;
}
} // namespace

TEST(FirmwareImage, FilesThatCannotBeUsedAreRefusedWithTheReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(ReadImageFile(dir.filePath(QStringLiteral("missing.bin"))).error.reason,
              QStringLiteral("No such file or directory"));
    EXPECT_EQ(ReadImageFile(writeFile(dir, QStringLiteral("empty.bin"), 0)).error.reason,
              QStringLiteral("Empty file"));
    EXPECT_EQ(
        ReadImageFile(writeFile(dir, QStringLiteral("big.bin"), kMaxImageSize + 1)).error.reason,
        QStringLiteral("Larger than 1 MiB (1048577 bytes)"));
    EXPECT_EQ(ReadImageFile(dir.path()).error.reason, QStringLiteral("Is a folder"));

    const auto largest = ReadImageFile(writeFile(dir, QStringLiteral("max.bin"), kMaxImageSize));
    ASSERT_FALSE(largest.error.failed());
    EXPECT_EQ(largest.bytes.size(), kMaxImageSize);
    const auto one = ReadImageFile(writeFile(dir, QStringLiteral("one.bin"), 1));
    ASSERT_FALSE(one.error.failed());
    EXPECT_EQ(one.bytes, QByteArray("\x5A"));
}

TEST(FirmwareImage, TheRunsImageReplacesTheCarriedOne) {
    ClearImageForRun();
    EXPECT_EQ(ImageForUpdate().path, CarriedImagePath());
    EXPECT_TRUE(ImageForUpdate().bytes.isEmpty());

    SetImagePathForRun(QStringLiteral("/tmp/given.bin"));
    EXPECT_EQ(ImageForUpdate().path, QStringLiteral("/tmp/given.bin"));
    SetImageBytesForRun(QByteArray("abc"));
    EXPECT_TRUE(ImageForUpdate().path.isEmpty());
    EXPECT_EQ(ImageForUpdate().bytes, QByteArray("abc"));
    ClearImageForRun();
    EXPECT_EQ(ImageForUpdate().known(), !CarriedImagePath().isEmpty());
}

TEST(UdevRule, GivesTheUserBothProductIdsOfTheConfiguredVendor) {
    QFile rule(QStringLiteral(PELLORIN_UDEV_RULE));
    ASSERT_TRUE(rule.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(rule.readAll());
    const QString vendor =
        QStringLiteral("%1").arg(firmware::UpdateVendorId(), 4, 16, QLatin1Char('0'));
    for (const char *product : {"0325", "0331"}) {
        const QString match = QStringLiteral("SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"%1\", "
                                             "ATTRS{idProduct}==\"%2\", TAG+=\"uaccess\"")
                                  .arg(vendor, QLatin1String(product));
        EXPECT_TRUE(text.contains(match)) << qPrintable(match);
    }
    EXPECT_FALSE(text.contains(u'@'));
}

TEST(FirmwareImage, TheCarriedImageIsReadLikeAFile) {
    if (CarriedImagePath().isEmpty())
        GTEST_SKIP() << "this build carries no image (-DPELLORIN_FIRMWARE_IMAGE)";
    const auto image = ReadImageFile(CarriedImagePath());
    ASSERT_FALSE(image.error.failed()) << image.error.text().toStdString();
    EXPECT_FALSE(image.bytes.isEmpty());
}
