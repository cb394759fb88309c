#pragma once
// The two data files of a save: ".txt" with one "%9d" sample per CR LF line, ".bin" with the
// board's 4-byte items as received. Plain functions; the button handler strings them together.

#include "platform/save_folder.h" // g_saveFolder

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

struct SavePaths {
    QString m_textPath;
    QString m_rawPath;
};

// "ADC_%d%02d%02d_%02d_%02d_%02d" of the time: 2 January 2026 13:05:09 gives
// ADC_20260102_13_05_09.
QString DefaultBaseName(const QDateTime &time);

// The chosen path up to its last ".", then ".bin"; empty when the file name has no ".".
QString RawPathFor(const QString &textPath);

// The chosen path's folder with its trailing separator, or empty when it has none.
QString FolderOf(const QString &path);

// When a file is already at the raw path, both paths move to a fresh time-stamped name in the
// folder, so no earlier raw data is overwritten. Should that name be taken too (two saves in
// one second), a "_2", "_3" ... suffix keeps it apart. True when the paths changed.
bool MoveToFreshNameIfRawExists(SavePaths &paths, const QString &folder, const QDateTime &now);

// The text file's bytes.
QByteArray FormatTextFile(const std::vector<int32_t> &samples);

// Each file is written whole or not at all: after a failure an older file at the path is as it
// was. 0, or 1006 after telling the user why the file could not be written ("PATH: reason").
// An empty path writes nothing and succeeds.
int SaveRawFile(const QString &rawPath, const uint8_t *items, int64_t byteCount, QObject *owner);

// 0, or -1 after telling the user why the file could not be written. An empty path writes
// nothing and succeeds.
int SaveTextFile(const QString &textPath, const std::vector<int32_t> &samples, QObject *owner);
