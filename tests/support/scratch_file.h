#pragma once
// One file in a fresh temporary folder, written and read back as raw bytes.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class ScratchFileTest : public ::testing::Test {
  protected:
    explicit ScratchFileTest(const char *fileName) : m_fileName(QString::fromLatin1(fileName)) {}

    QString path() const { return m_dir.filePath(m_fileName); }
    QString pathInFolder(const QString &relative) const { return m_dir.filePath(relative); }
    void put(const QByteArray &bytes) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray bytes() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

  private:
    QString m_fileName;
    QTemporaryDir m_dir;
};
