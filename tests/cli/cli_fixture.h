#pragma once
// The command line run in-process against a virtual board on a pty, through the program's own
// transport: its standard output, standard error and exit status as a script would see them.

#include "cli/cli_run.h"
#include "link/protocol.h"
#include "link/serial_transport.h"
#include "sim/virtual_board.h"
#include "tests/support/time_limits.h"

#include <QDeadlineTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliBoardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetTimeLimitDivisorForTests(kTestTimeLimitDivisor);
        m_board = std::make_unique<sim::VirtualBoard>(chip());
        m_board->setPacing(sim::Pacing::Unpaced);
        ASSERT_TRUE(m_board->start());
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override { SetTimeLimitDivisorForTests(1); }
    virtual sim::Chip chip() const { return sim::Chip::VXC5480; }

    sim::VirtualBoard &board() { return *m_board; }
    QString port() const { return QString::fromStdString(m_board->portPath()); }
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

    // The board notes an item just after writing it: wait for its record to catch up.
    std::vector<uint8_t> sentItems(size_t bytes) {
        const QDeadlineTimer deadline(5000);
        std::vector<uint8_t> sent = m_board->sentItemBytes();
        while (sent.size() < bytes && !deadline.hasExpired()) {
            QThread::msleep(1);
            sent = m_board->sentItemBytes();
        }
        return sent;
    }

    std::unique_ptr<sim::VirtualBoard> m_board;
    QTemporaryDir m_dir;
};
