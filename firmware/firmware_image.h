#pragma once
// Which image an update writes: the one given for this run (--firmware-image, or the generated
// one of --simulate), else the one the build carries, else one the user picks.

#include "platform/file_reader.h"

#include <QByteArray>
#include <QString>

namespace firmware {

// The resource path of the image carried by the build, or empty when the build carries none.
QString CarriedImagePath();

// An image file given for this run; it replaces the carried image.
void SetImagePathForRun(const QString &path);
// Image bytes given for this run (--simulate without an image of its own).
void SetImageBytesForRun(const QByteArray &image);
// Forgets both.
void ClearImageForRun();

// What the update has without asking the user: the run's file, the run's bytes or the carried
// image. A file is named by path (read when the update starts); bytes are given as they are.
struct ImageSource {
    QString path;
    QByteArray bytes;
    bool known() const { return !path.isEmpty() || !bytes.isEmpty(); }
};
ImageSource ImageForUpdate();

// The bytes an update writes from a source: its file read now, or its bytes as given. The error
// says why a file cannot be used; the update is then not started.
platform::FileRead ImageBytes(const ImageSource &source);

// The file's bytes, all of them. The error names what is wrong: no such file, a folder, not a
// regular file (a FIFO is refused at once, not waited on), an empty file, one larger than
// kMaxImageSize, or one cut short while it was read.
platform::FileRead ReadImageFile(const QString &path);

} // namespace firmware
