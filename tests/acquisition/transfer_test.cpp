// The item stream through the real transport: every way it can end.

#include "board_fixture.h"

#include "acquisition/samples.h"
#include "acquisition/transfer.h"
#include "link/port_worker.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <optional>
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
Outcome transfer(int count, int abortAt = -1) {
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
    run.result = TransferSamples(run.items.data(), count, hooks);
    return run;
}

using Frame = std::array<uint8_t, 6>;
} // namespace

TEST_F(AcqBoardTest, AllItemsArriveInOrder) {
    const Outcome run = transfer(45);
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
}

TEST_F(AcqBoardTest, ManyItemsMoveTheBarAHundredTimes) {
    const Outcome run = transfer(5000);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.items, sentItems(run.items.size()));
    EXPECT_EQ(run.progress.size(), 102u); // 0, 1 ... 100, 0
}

TEST_F(AcqBoardTest, SingleItem) {
    const Outcome run = transfer(1);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(board().receivedFrames().at(0), (Frame{0x55, 0x01, 0x0F, 0x00, 0x01, 0xEF}));
    EXPECT_EQ(run.progress, (std::vector<int>{0, 100, 0}));
}

struct StreamFault {
    const char *name;
    sim::Faults faults;
    QString message;
    int itemsKept; // whole items in the buffer
    bool endsInSilence;
};

TEST_F(AcqBoardTest, FaultsEndTheTransferWithTheirMessage) {
    sim::Faults missing;
    missing.stopAfterItems = 5;
    sim::Faults shortItem;
    shortItem.shortItemIndex = 3;
    sim::Faults badChecksum;
    badChecksum.badItemIndex = 7;
    const std::vector<StreamFault> cases = {
        {"missing item", missing, "Get item 5 failed !", 5, true},
        {"short item", shortItem, "Get item 3 failed !", 3, true},
        {"bad checksum", badChecksum, "The checksum of item 7 is invalid !", 20, false},
    };
    for (const StreamFault &c : cases) {
        SCOPED_TRACE(c.name);
        board().setFaults(c.faults);
        board().clearReceivedFrames();
        std::optional<ExpectSilence> silence;
        if (c.endsInSilence)
            silence.emplace();
        const Outcome run = transfer(20);
        silence.reset();
        ASSERT_EQ(run.messages.size(), 1u);
        EXPECT_EQ(run.messages[0].text, c.message);
        EXPECT_EQ(run.messages[0].caption, "Error !");
        EXPECT_EQ(run.messages[0].icon, platform::MessageIcon::None);
        EXPECT_NE(run.result, 0);
        // The bar holds its value while the message is up and goes back to 0 after it.
        EXPECT_EQ(run.progressBeforeMessage[0] + 1, run.progress.size());
        EXPECT_EQ(run.progress.back(), 0);
        const std::vector<uint8_t> sent = sentItems(static_cast<size_t>(c.itemsKept) * 4);
        ASSERT_GE(sent.size(), static_cast<size_t>(c.itemsKept) * 4);
        EXPECT_TRUE(std::equal(sent.begin(), sent.begin() + c.itemsKept * 4, run.items.begin()));
        if (c.faults.badItemIndex >= 0) {
            EXPECT_EQ(run.result, result::kBadReply);
            // Verified only once all had arrived.
            EXPECT_EQ(run.progress[run.progressBeforeMessage[0] - 1], 100);
        }
        board().setFaults({});
    }
}

TEST_F(AcqBoardTest, HangUpMidStream) {
    sim::Faults hangUp;
    hangUp.hangUpAfterItems = 10;
    board().setFaults(hangUp);
    const Outcome run = transfer(20);
    EXPECT_NE(run.result, 0);
    ASSERT_EQ(run.messages.size(), 1u);
    // A hang-up may take the items still in the line with it; those before it stay.
    const QString text = run.messages[0].text;
    const QRegularExpressionMatch match =
        QRegularExpression("^Get item (\\d+) failed !$").match(text);
    ASSERT_TRUE(match.hasMatch()) << text.toStdString();
    const int failed = match.captured(1).toInt();
    EXPECT_LE(failed, 10);
    const std::vector<uint8_t> sent = sentItems(40);
    ASSERT_EQ(sent.size(), 40u);
    EXPECT_TRUE(std::equal(sent.begin(), sent.begin() + failed * 4, run.items.begin()));
}

TEST_F(AcqBoardTest, ClosedPortFailsTheRequest) {
    ClosePort();
    const Outcome run = transfer(45);
    EXPECT_EQ(run.result, result::kNoPort);
    EXPECT_EQ(run.texts(), QStringList{"Send command failed !"});
    EXPECT_EQ(run.messages[0].caption, "Error");
    EXPECT_EQ(run.messages[0].icon, platform::MessageIcon::None);
    EXPECT_EQ(run.progress, (std::vector<int>{0}));
}

TEST_F(AcqBoardTest, AnAbortFailsTheNextItem) {
    // "Detect EVM" pressed while items come in: the item after the 12th is given up.
    const Outcome run = transfer(45, 100 * 12 / 45);
    EXPECT_EQ(run.result, result::kAborted);
    EXPECT_EQ(run.texts(), QStringList{"Get item 12 failed !"});
    EXPECT_EQ(run.progress.back(), 0);
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
    ASSERT_TRUE(worker.start([&] { report = ReceiveItems(items.data(), 40, hooks); }));
    QTRY_VERIFY_WITH_TIMEOUT(shown == 100 * 30 / 40, kEventWaitLimitMs);
    abort = true;
    worker.waitWithEvents();
    EXPECT_EQ(report.status, result::kAborted);
    EXPECT_EQ(report.end, TransferReport::End::ItemFailed);
    EXPECT_EQ(report.item, 30);
    EXPECT_TRUE(PortIsOpen());
}
