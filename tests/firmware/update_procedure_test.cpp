#include "firmware/update_codes.h"
#include "update_fixture.h"

using namespace firmware;

namespace {
const std::vector<int> kFullSequence{request::kOpening,        request::kSetUp,
                                     request::kIdentification, request::kPreparation,
                                     request::kConfigWrite,    request::kConfigReadBack,
                                     request::kImageWrite,     request::kImageReadBack,
                                     request::kFinishing,      request::kEnd};
} // namespace

TEST_F(UpdateTest, SuccessWritesAndVerifiesEverything) {
    const QByteArray bytes = image(32644);
    EXPECT_EQ(update(bytes), UpdateOutcome::Succeeded());

    ASSERT_EQ(messages.messages().size(), 1u);
    const platform::Message &shown = messages.messages().front();
    EXPECT_EQ(shown.text, QStringLiteral("Firmware update succeeded !"));
    EXPECT_EQ(shown.caption, QStringLiteral("Information"));
    EXPECT_EQ(shown.icon, platform::MessageIcon::Information);
    EXPECT_EQ(shown.owner, &owner);

    EXPECT_EQ(requestCodes(), kFullSequence);
    const auto &requests = board().requests();
    EXPECT_EQ(requests[0].address, UpdateOpenValue());
    EXPECT_EQ(requests[1].address, 4u);
    EXPECT_EQ(requests[2].address, 4u);
    EXPECT_EQ(requests[2].length, 4u);
    const auto config = ConfigWriteBlock();
    EXPECT_EQ(requests[4].length, 36u);
    EXPECT_EQ(requests[4].sum, Sum16(config.data(), config.size()));
    EXPECT_EQ(requests[5].length, 32u);
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
    EXPECT_EQ(requests[6].length, 32644u);
    EXPECT_EQ(requests[6].sum, Sum16(data, 32644));
    EXPECT_EQ(requests[7].length, 32644u);

    EXPECT_EQ(board().storedConfig(), std::vector<uint8_t>(config.begin(), config.end()));
    EXPECT_EQ(board().storedImage(), std::vector<uint8_t>(data, data + bytes.size()));
    // 10 requests, the configuration block and 256 image slices go out.
    EXPECT_EQ(board().featureReports().size(), 10u + 1u + 256u);
}

TEST_F(UpdateTest, ImagesOfOneByteAndOfTheLargestSizeGoThrough) {
    EXPECT_EQ(update(image(1)), UpdateOutcome::Succeeded());
    EXPECT_EQ(board().storedImage().size(), 1u);
    EXPECT_EQ(update(image(kMaxImageSize)), UpdateOutcome::Succeeded());
    EXPECT_EQ(board().storedImage().size(), std::size_t(kMaxImageSize));
    EXPECT_EQ(messages.texts(), QStringList(2, QStringLiteral("Firmware update succeeded !")));
}

TEST_F(UpdateTest, OnlyAKnownIdentityGetsThePreparationRequest) {
    struct Case {
        std::array<uint8_t, 4> identity;
        bool prepared;
    };
    const Case cases[] = {{{0x10, 0xC0, 0x05, 0x77}, true},
                          {{0xEF, 0x3F, 0xFA, 0x00}, true},
                          {{0x10, 0xC0, 0x06, 0x00}, false}};
    for (const Case &c : cases) {
        board().clearRecords();
        messages.clear();
        faults().identity = c.identity;
        applyFaults();
        EXPECT_EQ(update(), UpdateOutcome::Succeeded());
        EXPECT_EQ(received(request::kPreparation), c.prepared) << int(c.identity[2]);
        // An unknown identity is no reason to stop.
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Firmware update succeeded !")});
    }
}

TEST_F(UpdateTest, SecondProductIdIsUpdatedToo) {
    faults().productId = kSecondProductId;
    applyFaults();
    EXPECT_EQ(update(), UpdateOutcome::Succeeded());
    EXPECT_EQ(requestCodes(), kFullSequence);
}

TEST_F(UpdateTest, NoDeviceIsAResultForTheWindow) {
    faults().absent = true;
    applyFaults();
    EXPECT_EQ(update(), UpdateOutcome::LeftToCaller(result::kNoUpdateDevice));
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(board().openCount(), 0);
}

TEST_F(UpdateTest, TwoUpdatesInARow) {
    EXPECT_EQ(update(image(300)), UpdateOutcome::Succeeded());
    EXPECT_EQ(update(image(700)), UpdateOutcome::Succeeded());
    EXPECT_EQ(board().openCount(), 2);
    EXPECT_EQ(board().closeCount(), 2);
    EXPECT_EQ(board().storedImage().size(), 700u);
    EXPECT_EQ(board().requests().size(), 2 * kFullSequence.size());
}

TEST_F(UpdateTest, AnImageThatCannotBeUsedIsRefusedBeforeTheDeviceIsOpened) {
    for (qsizetype size : {qsizetype(0), kMaxImageSize + 1}) {
        messages.clear();
        EXPECT_EQ(update(QByteArray(size, '\x01')), UpdateOutcome::Told(result::kBadReply));
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text, QStringLiteral("Firmware update failed !"));
        EXPECT_EQ(messages.messages()[0].caption, QStringLiteral("Error"));
        EXPECT_EQ(messages.messages()[0].icon, platform::MessageIcon::Error);
        EXPECT_EQ(messages.messages()[0].owner, &owner);
    }
    EXPECT_EQ(board().openCount(), 0);
}
