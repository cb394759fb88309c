#include "firmware/update_codes.h"
#include "firmware/update_messages.h"
#include "update_fixture.h"

using namespace firmware;

namespace {
const QString kFailed = QStringLiteral("Firmware update failed !");

struct StatusCase {
    int status;
    uint16_t reading;
    const char *replyMessage; // null: none
    int result;
    const char *windowText;
};

class ReplyStatusTest : public UpdateTest, public ::testing::WithParamInterface<StatusCase> {};
} // namespace

TEST_P(ReplyStatusTest, SetUpReplyEndsTheUpdateWithItsMessageThenTheMainWindowText) {
    const StatusCase c = GetParam();
    faults().statusForRequest[request::kSetUp] = c.status;
    faults().voltageReading = c.reading;
    applyFaults();
    const UpdateOutcome outcome = update();
    EXPECT_EQ(outcome, UpdateOutcome::LeftToCaller(c.result));
    EXPECT_EQ(UpdateMessageText(outcome.code), QString::fromLatin1(c.windowText));
    if (c.replyMessage) {
        ASSERT_EQ(messages.messages().size(), 1u);
        const platform::Message &shown = messages.messages().front();
        EXPECT_EQ(shown.text, QString::fromLatin1(c.replyMessage));
        EXPECT_EQ(shown.caption, QStringLiteral("Error occured !"));
        EXPECT_EQ(shown.icon, platform::MessageIcon::Error);
        EXPECT_EQ(shown.owner, nullptr);
    } else {
        EXPECT_TRUE(messages.messages().empty());
    }
    // Once the opening was answered, the way out sends the end request.
    EXPECT_EQ(requestCodes(),
              (std::vector<int>{request::kOpening, request::kSetUp, request::kEnd}));
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, ReplyStatusTest,
    ::testing::Values(
        StatusCase{1, 0, "Checksum is not match !", result::kStatusChecksum,
                   "Checksum is not match !"},
        StatusCase{2, 17999, "DUT's voltage is out of range !", result::kStatusVoltage,
                   "Device voltage is out of range !"},
        StatusCase{2, 18000, nullptr, result::kStatusVoltage, "Device voltage is out of range !"},
        StatusCase{2, 33000, nullptr, result::kStatusVoltage, "Device voltage is out of range !"},
        StatusCase{2, 55000, nullptr, result::kStatusVoltage, "Device voltage is out of range !"},
        StatusCase{2, 55001, "DUT's voltage is out of range !", result::kStatusVoltage,
                   "Device voltage is out of range !"},
        StatusCase{3, 0, "DUT is no response !", result::kStatusNoResponse,
                   "The device is not responding !"},
        StatusCase{7, 0, nullptr, result::kBadReply, "Close Corvel fail !"}));

TEST_F(UpdateTest, AFailedOpeningClosesWithoutTheEndRequest) {
    faults().statusForRequest[request::kOpening] = 3;
    applyFaults();
    EXPECT_EQ(update(), UpdateOutcome::LeftToCaller(result::kStatusNoResponse));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("DUT is no response !")});
    EXPECT_EQ(requestCodes(), std::vector<int>{request::kOpening});
}

TEST_F(UpdateTest, WrongTag) {
    faults().wrongTagRequest = request::kOpening;
    applyFaults();
    EXPECT_EQ(update(), UpdateOutcome::LeftToCaller(result::kBadReply));
    EXPECT_EQ(requestCodes(), std::vector<int>{request::kOpening});

    board().clearRecords();
    faults().wrongTagRequest = request::kPreparation;
    applyFaults();
    EXPECT_EQ(update(), UpdateOutcome::LeftToCaller(result::kBadReply));
    EXPECT_EQ(requestCodes().back(), request::kEnd);
    EXPECT_FALSE(received(request::kConfigWrite));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(UpdateTest, AReplyThatNeverComes) {
    faults().silentRequest = request::kOpening;
    applyFaults();
    const UpdateOutcome outcome = update();
    EXPECT_EQ(outcome, UpdateOutcome::LeftToCaller(result::kWaitTimeout));
    EXPECT_EQ(UpdateMessageText(outcome.code), QStringLiteral("Part No is not supported !"));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(UpdateTest, AConfigurationReadBackThatDiffersSendsNothingOfTheImage) {
    faults().configReadBackDiffers = true;
    applyFaults();
    EXPECT_EQ(update(), UpdateOutcome::Told(result::kConfigMismatch));
    EXPECT_EQ(messages.texts(), QStringList{kFailed});
    EXPECT_EQ(messages.messages()[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(messages.messages()[0].owner, &owner);
    EXPECT_EQ(requestCodes().back(), request::kConfigReadBack);
    EXPECT_TRUE(board().storedImage().empty());
}

TEST_F(UpdateTest, AConfigurationWriteReplyStatusComesBeforeTheFailure) {
    faults().statusForRequest[request::kConfigWrite] = 1;
    applyFaults();
    EXPECT_EQ(update(), UpdateOutcome::Told(result::kStatusChecksum));
    EXPECT_EQ(messages.texts(), (QStringList{QStringLiteral("Checksum is not match !"), kFailed}));
    EXPECT_FALSE(received(request::kImageWrite));
}

TEST_F(UpdateTest, AnImageReadBackDifferingInItsLastByteFails) {
    faults().imageReadBackDiffersAtEnd = true;
    applyFaults();
    EXPECT_EQ(update(image(32644)), UpdateOutcome::Told(result::kImageMismatch));
    EXPECT_EQ(messages.texts(), QStringList{kFailed});
    const std::vector<int> codes = requestCodes();
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes[codes.size() - 2], request::kFinishing);
    EXPECT_EQ(codes.back(), request::kEnd);
}

namespace {
// Feature transfers of an update with a 300-byte image, counted from 0: 0 opening, 1 set-up,
// 2 identification request, 3 identification read, 4 preparation, 5 configuration request,
// 6 configuration block, 7 read-back request, 8 read-back, 9 image request, 10-12 image,
// 13 image read-back request, 14-16 image read-back, 17 finishing, 18 end.
struct TransferCase {
    int failing;
    UpdateOutcome outcome;
    std::vector<const char *> texts;
    bool endSent;
    bool imageSent;
};

class FailingTransferTest : public UpdateTest,
                            public ::testing::WithParamInterface<TransferCase> {};
} // namespace

TEST_P(FailingTransferTest, EndsTheUpdateClosed) {
    const TransferCase c = GetParam();
    faults().failingTransfer = c.failing;
    applyFaults();
    EXPECT_EQ(update(image(300)), c.outcome);
    QStringList texts;
    for (const char *text : c.texts)
        texts << QString::fromLatin1(text);
    EXPECT_EQ(messages.texts(), texts);
    // Looked for in what went out: a board that lost a slice of a block may take the end
    // request for data.
    const auto &reports = board().featureReports();
    const bool endSent = !reports.empty() && reports.back()[1] == kRequestLead &&
                         reports.back()[3] == 0x01 && reports.back()[4] == 0x0E;
    EXPECT_EQ(endSent, c.endSent);
    EXPECT_EQ(received(request::kImageWrite), c.imageSent);
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, FailingTransferTest,
    ::testing::Values(
        TransferCase{0, UpdateOutcome::LeftToCaller(result::kDeviceFailure), {}, false, false},
        TransferCase{3, UpdateOutcome::LeftToCaller(result::kDeviceFailure), {}, true, false},
        TransferCase{6,
                     UpdateOutcome::Told(result::kDeviceFailure),
                     {"Firmware update failed !"},
                     false,
                     false},
        TransferCase{11,
                     UpdateOutcome::Told(result::kDeviceFailure),
                     {"Firmware update failed !"},
                     true,
                     true},
        TransferCase{15,
                     UpdateOutcome::Told(result::kDeviceFailure),
                     {"Firmware update failed !"},
                     true,
                     true},
        TransferCase{17,
                     UpdateOutcome::Told(result::kDeviceFailure),
                     {"Firmware update failed !"},
                     true,
                     true},
        TransferCase{18,
                     UpdateOutcome::Told(result::kDeviceFailure),
                     {"Firmware update failed !"},
                     false,
                     true},
        TransferCase{19, UpdateOutcome::Succeeded(), {"Firmware update succeeded !"}, true, true}));
