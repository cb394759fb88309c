#include "firmware_image.h"

#include "update_firmware.h"

#include <QFile>

namespace firmware {
namespace {
ImageSource &runImage() {
    static ImageSource image;
    return image;
}
} // namespace

QString CarriedImagePath() {
    const QString path = QStringLiteral(":/firmware/image.bin");
    return QFile::exists(path) ? path : QString();
}

void SetImagePathForRun(const QString &path) {
    runImage() = ImageSource{path, {}};
}

void SetImageBytesForRun(const QByteArray &image) {
    runImage() = ImageSource{{}, image};
}

void ClearImageForRun() {
    runImage() = ImageSource{};
}

ImageSource ImageForUpdate() {
    if (runImage().known())
        return runImage();
    return ImageSource{CarriedImagePath(), {}};
}

std::optional<QByteArray> ReadImageFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // One byte more than allowed is enough to tell a file that is too large.
    QByteArray image = file.read(kMaxImageSize + 1);
    if (image.isEmpty() || image.size() > kMaxImageSize)
        return std::nullopt;
    return image;
}

QByteArray ImageBytes(const ImageSource &source) {
    if (source.path.isEmpty())
        return source.bytes;
    return ReadImageFile(source.path).value_or(QByteArray());
}

} // namespace firmware
