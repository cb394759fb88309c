// The item stream through the real transport: every way it can end, and the line it leaves for
// the next exchange.

#include "board_fixture.h"

#include "acquisition/samples.h"
#include "acquisition/transfer.h"
#include "link/port_worker.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

namespace {
struct Outcome {
    int result = -1;
    std::vector<int> progress;
    std::vector<platform::Message> messages;
    // How many progress values came before each message.
    std::vector<size_t> progressBeforeMessage;
    std::vector<uint8_t> items;
    QStringList texts() const {
        QStringList texts;
        for (const platform::Message &m : messages)
            texts << m.text;
        return texts;
    }
};

// abortAt: the abort flag goes up once the bar shows this percent.
Outcome transfer(BoardLink &link, int count, int abortAt = -1) {
    Outcome run;
    run.items.assign(static_cast<size_t>(count) * 4, 0xEE);
    std::atomic<bool> abort{false};
    TransferHooks hooks;
    hooks.setProgress = [&](int p) {
        run.progress.push_back(p);
        if (abortAt >= 0 && p >= abortAt)
            abort = true;
    };
    hooks.abort = &abort;
    const platform::MessageRecorder recorder([&run](const platform::Message &m) {
        run.messages.push_back(m);
        run.progressBeforeMessage.push_back(run.progress.size());
    });
    run.result = TransferSamples(link, run.items.data(), count, hooks);
    return run;
}

using Frame = std::array<uint8_t, 6>;
} // namespace

TEST_F(AcqBoardTest, AllItemsArriveInOrder) {
    const Outcome run = transfer(link(), 45);
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(board().receivedFrames(), (std::vector<Frame>{{0x55, 0x01, 0x0F, 0x00, 0x2D, 0xC3}}));
    const std::vector<uint8_t> sent = sentItems(run.items.size());
    ASSERT_EQ(sent.size(), run.items.size());
    for (size_t i = 0; i < sent.size(); ++i)
        ASSERT_EQ(sent[i], run.items[i]) << "byte " << i;
    EXPECT_EQ(FirstBadItem(run.items.data(), 45), -1);
    // The bar moves only when its value changes, up to 100 and back to 0.
    ASSERT_GE(run.progress.size(), 3u);
    EXPECT_EQ(run.progress.front(), 0);
    EXPECT_EQ(run.progress[run.progress.size() - 2], 100);
    EXPECT_EQ(run.progress.back(), 0);
    for (size_t i = 1; i + 1 < run.progress.size(); ++i)
        EXPECT_GT(run.progress[i], run.progress[i - 1]);
    EXPECT_EQ(link().owedBytes(), 0);
}

TEST_F(AcqBoardTest, ManyItemsMoveTheBarAHundredTimes) {
    const Outcome run = transfer(link(), 5000);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.items, sentItems(run.items.size()));
    EXPECT_EQ(run.progress.size(), 102u); // 0, 1 ... 100, 0
}

TEST_F(AcqBoardTest, SingleItem) {
    const Outcome run = transfer(link(), 1);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(board().receivedFrames().at(0), (Frame{0x55, 0x01, 0x0F, 0x00, 0x01, 0xEF}));
    // One read brings the whole request: the bar still steps through every percent.
    std::vector<int> climb(101);
    std::iota(climb.begin(), climb.end(), 0);
    climb.push_back(0);
    EXPECT_EQ(run.progress, climb);
}

// The faults the one reader must survive. Each ends the transfer with its message, keeps the
// good items before the failed one, and leaves the line so that the next exchange gets its
// own reply: a bad item's request is read to its end at once, an aborted one is owed to the
// link (which takes it before that exchange), and silence or a lost line leaves nothing owed.
struct StreamFault {
    const char *name;
    sim::Faults faults;
    sim::Pacing pacing;
    int count;
    int abortAt;         // the percent at which the abort flag goes up; -1: never
    const char *message; // %1: the item that failed
    int firstItem;       // the item named lies between these (a hang-up may take the items
    int lastItem;        // still in the line with it; an abort strikes while items come)
    int result;          // the transfer's result; kAnyFailure: any but 0
    bool silence;        // the fault is silence: shorter time limits keep the test quick
    bool owesRest;       // the rest of the request is owed to the link after the transfer
    bool lineLost;       // the board hung up: the next exchange fails
};

constexpr int kAnyFailure = -1;

sim::Faults FaultsOf(const std::function<void(sim::Faults &)> &set) {
    sim::Faults faults;
    set(faults);
    return faults;
}

const StreamFault kStreamFaults[] = {
    {"MissingItem", FaultsOf([](sim::Faults &f) { f.stopAfterItems = 5; }), sim::Pacing::None, 20,
     -1, "Get item %1 failed !", 5, 5, kAnyFailure, true, false, false},
    {"ShortItem", FaultsOf([](sim::Faults &f) { f.shortItemIndex = 3; }), sim::Pacing::None, 20, -1,
     "Get item %1 failed !", 3, 3, kAnyFailure, true, false, false},
    {"BadChecksum", FaultsOf([](sim::Faults &f) { f.badItemIndex = 7; }), sim::Pacing::None, 20, -1,
     "The checksum of item %1 is invalid !", 7, 7, result::kBadReply, false, false, false},
    {"HangUp", FaultsOf([](sim::Faults &f) { f.hangUpAfterItems = 10; }), sim::Pacing::None, 20, -1,
     "Get item %1 failed !", 0, 10, kAnyFailure, false, false, true},
    // "Detect EVM" pressed while items come in at the wire's pace (about 0.7 s for 2000): the
    // read in flight is given up, the board sends the rest all the same.
    {"AbortMidBlock", FaultsOf([](sim::Faults &) {}), sim::Pacing::Wire, 2000, 10,
     "Get item %1 failed !", 200, 1999, result::kAborted, false, true, false},
};

class TransferFaults : public AcqBoardTest, public ::testing::WithParamInterface<StreamFault> {};

TEST_P(TransferFaults, EndWithTheirMessageAndLeaveTheLineForTheNextExchange) {
    const StreamFault &c = GetParam();
    board().setPacing(c.pacing);
    board().setFaults(c.faults);
    std::optional<ExpectSilence> silence;
    if (c.silence)
        silence.emplace(&link());
    const Outcome run = transfer(link(), c.count, c.abortAt);
    const int64_t owed = link().owedBytes();

    ASSERT_EQ(run.messages.size(), 1u);
    const QStringList around = QString::fromLatin1(c.message).split(QStringLiteral("%1"));
    ASSERT_EQ(around.size(), 2);
    const QRegularExpressionMatch match =
        QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(around[0]) +
                           QStringLiteral("(\\d+)") + QRegularExpression::escape(around[1]) +
                           QLatin1Char('$'))
            .match(run.messages[0].text);
    ASSERT_TRUE(match.hasMatch()) << run.messages[0].text.toStdString();
    const int failed = match.captured(1).toInt();
    EXPECT_GE(failed, c.firstItem);
    EXPECT_LE(failed, c.lastItem);
    EXPECT_EQ(run.messages[0].caption, "Error !");
    EXPECT_EQ(run.messages[0].icon, platform::MessageIcon::None);
    if (c.result == kAnyFailure) {
        EXPECT_NE(run.result, 0);
    } else {
        EXPECT_EQ(run.result, c.result);
    }
    // The bar holds its value while the message is up and goes back to 0 after it.
    EXPECT_EQ(run.progressBeforeMessage[0] + 1, run.progress.size());
    EXPECT_EQ(run.progress.back(), 0);
    // The items before the failed one are kept as the board sent them.
    const std::vector<uint8_t> sent = sentItems(static_cast<size_t>(failed) * 4);
    ASSERT_GE(sent.size(), static_cast<size_t>(failed) * 4);
    EXPECT_TRUE(std::equal(sent.begin(), sent.begin() + failed * 4, run.items.begin()));

    EXPECT_EQ(owed > 0, c.owesRest) << owed << " bytes owed";
    silence.reset();
    board().setFaults({});
    const size_t framesBefore = board().receivedFrames().size();
    uint8_t mux = 0xEE;
    const int next = ReadRegister(link(), 0x01, mux);
    if (c.lineLost) {
        EXPECT_NE(next, 0);
    } else {
        EXPECT_EQ(next, 0);
        EXPECT_EQ(mux, board().registerValue(0x01));
        EXPECT_EQ(board().receivedFrames().size(), framesBefore + 1);
    }
    EXPECT_EQ(link().owedBytes(), 0);
    if (c.owesRest) {
        EXPECT_EQ(board().sentItemBytes().size(), static_cast<size_t>(c.count) * 4)
            << "the board sent the rest of the request before the reply";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, TransferFaults, ::testing::ValuesIn(kStreamFaults),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(AcqBoardTest, ClosedPortFailsTheRequest) {
    link().close();
    const Outcome run = transfer(link(), 45);
    EXPECT_EQ(run.result, result::kNoPort);
    EXPECT_EQ(run.texts(), QStringList{"Send command failed !"});
    EXPECT_EQ(run.messages[0].caption, "Error");
    EXPECT_EQ(run.messages[0].icon, platform::MessageIcon::None);
    EXPECT_EQ(run.progress, (std::vector<int>{0}));
}

TEST_F(AcqBoardTest, AnAbortEndsAReadThatWaits) {
    // 30 of 40 items come; the read of the 31st waits for the line until the abort, not for
    // its time limit. The exchanges run on a thread of their own, as the window runs them.
    sim::Faults stops;
    stops.stopAfterItems = 30;
    board().setFaults(stops);
    std::vector<uint8_t> items(40 * 4);
    std::atomic<bool> abort{false};
    std::atomic<int> shown{-1};
    TransferHooks hooks;
    hooks.setProgress = [&shown](int p) { shown = p; };
    hooks.abort = &abort;
    TransferReport report;
    PortWorker worker;
    BoardLink &port = link();
    ASSERT_TRUE(worker.start(port, [&] { report = ReceiveItems(port, items.data(), 40, hooks); }));
    QTRY_VERIFY_WITH_TIMEOUT(shown == 100 * 30 / 40, kEventWaitLimitMs);
    abort = true;
    worker.waitWithEvents();
    EXPECT_EQ(report.status, result::kAborted);
    EXPECT_EQ(report.end, TransferReport::End::ItemFailed);
    EXPECT_EQ(report.item, 30);
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(port.ownedByCaller()) << "the link is back on the thread that started the job";
    EXPECT_EQ(port.owedBytes(), 10 * 4) << "what was asked for and never came";
}
