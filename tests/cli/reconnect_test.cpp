// pellorin-cli capture --reconnect-within: the board lost in the middle of a capture (unplugged,
// or fallen silent) and looked for again, through the program's own transport and a virtual
// board behind a stable link, as a USB bridge that resets.

#include "cli_fixture.h"

#include "capture/capture_part.h"
#include "chips/vxc5480/register_fields.h"

#include <thread>

namespace {

using namespace std::chrono_literals;

// Each row: what happens to the board once the capture has streamed a while, the patience, and
// how the capture ends. The board is a VXC5480 at 1000 SPS (DRATE 0xA1, not its default), so a
// board that comes back reset must be given its rate again.
TEST(CliReconnect, ALostBoardIsWaitedForAndTheGapRecorded) {
    enum class Loss { Unplug, UnplugReset, Silent };
    const struct {
        const char *name;
        Loss loss;
        std::chrono::milliseconds away;
        const char *patience;
        int status;
        size_t gaps;
        const char *errHas;
    } cases[] = {
        {"back in time", Loss::Unplug, 1000ms, "5", 0, 1, "waiting for it to come back"},
        {"back reset", Loss::UnplugReset, 1000ms, "5", 0, 1, "Board back at"},
        {"silent for a while", Loss::Silent, 1500ms, "8", 0, 1, "the board stopped answering"},
        {"too late", Loss::Unplug, 6000ms, "1", 4, 0, "did not come back within 0:00:01"},
        {"no patience", Loss::Unplug, 1000ms, "0", 4, 0, "Get item "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        sim::VirtualBoard board(sim::Chip::VXC5480);
        board.setPacing(sim::Pacing::Wire);
        ASSERT_TRUE(board.start());
        board.setRegisterValue(vxc5480::kDrate, 0xA1);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("run.h5"));
        std::thread loser([&board, &c] {
            // Once the stream has run a while.
            ASSERT_TRUE(board.waitForSentItemBytes(4 * 1500, kEventWaitLimitMs));
            if (c.loss == Loss::Silent) {
                sim::Faults silent;
                silent.silent = true;
                board.setFaults(silent);
                std::this_thread::sleep_for(c.away);
                board.setFaults({});
            } else {
                board.unplug(c.away, c.loss == Loss::UnplugReset);
            }
        });
        std::ostringstream out, err;
        const int status =
            cli::RunCli({"--port", QString::fromStdString(board.linkPath()), "--no-scan", "capture",
                         "--out", file, "--duration", "7", "--reconnect-within", c.patience},
                        out, err);
        loser.join();
        EXPECT_EQ(status, c.status) << err.str();
        EXPECT_NE(err.str().find(c.errHas), std::string::npos) << err.str();
        // The file holds what came before the loss, and after it when the board came back.
        QString error;
        const auto part = capture::OpenCapturePart(file, error);
        ASSERT_TRUE(part) << error.toStdString();
        ASSERT_EQ(part->gaps().size(), c.gaps);
        if (c.gaps > 0) {
            const capture::GapRecord &gap = part->gaps().front();
            EXPECT_GT(gap.atSample, 0u);
            EXPECT_LT(gap.atSample, part->count());
            EXPECT_GE(gap.lengthSeconds, std::chrono::duration<double>(c.away).count() * 0.9);
            EXPECT_NEAR(static_cast<double>(gap.lost), gap.lengthSeconds * 1000, 1.0);
            EXPECT_EQ(board.registerValue(vxc5480::kDrate), 0xA1);
            EXPECT_NE(out.str().find("1 loss(es)"), std::string::npos) << out.str();
        }
        board.waitPluggedIn(kEventWaitLimitMs);
    }
}

} // namespace
