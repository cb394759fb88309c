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

platform::FileRead ReadImageFile(const QString &path) {
    platform::FileRead read = platform::ReadRegularFile(path, kMaxImageSize);
    if (!read.error.failed() && read.bytes.isEmpty())
        read.error.reason = QStringLiteral("Empty file");
    return read;
}

platform::FileRead ImageBytes(const ImageSource &source) {
    if (source.path.isEmpty())
        return platform::FileRead{source.bytes, {}, false};
    return ReadImageFile(source.path);
}

} // namespace firmware
