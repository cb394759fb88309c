#pragma once
// The command line run in-process against a virtual board on a pty, through the program's own
// transport: its standard output, standard error and exit status as a script would see them.

#include "cli/cli_run.h"
#include "link/protocol.h"
#include "link/serial_transport.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"
#include "tests/support/time_limits.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

// A case's arguments, written with blanks between them.
inline QStringList words(const char *text) {
    return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
}

// The object a --json command printed.
inline QJsonObject jsonOf(const std::string &text) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliBoardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_pty = std::make_unique<BoardOnPty>(chip(), sim::Pacing::None);
        ASSERT_TRUE(m_pty->start());
        ASSERT_TRUE(m_dir.isValid());
    }
    virtual sim::Chip chip() const { return sim::Chip::VXC5480; }

    sim::VirtualBoard &board() { return m_pty->board(); }
    QString port() const { return m_pty->port(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

    // pellorin-cli --port <board> --no-scan ARGUMENTS
    CliRun run(const QStringList &arguments) {
        std::ostringstream out;
        std::ostringstream err;
        CliRun result;
        result.status = cli::RunCli(
            QStringList{QStringLiteral("--port"), port(), QStringLiteral("--no-scan")} + arguments,
            out, err);
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    std::vector<uint8_t> sentItems(size_t bytes) { return m_pty->sentItems(bytes); }

    std::unique_ptr<BoardOnPty> m_pty;
    QTemporaryDir m_dir;
};
