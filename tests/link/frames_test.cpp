#include "link/chip_catalog.h"
#include "link/frames.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct FrameCase {
    int chipId;
    uint8_t code, param1, param2;
    CommandFrame expected;
};

class CommandFrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(CommandFrameTest, BytesOnTheWire) {
    const FrameCase &c = GetParam();
    EXPECT_EQ(BuildCommandFrame(c.chipId, c.code, c.param1, c.param2), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, CommandFrameTest,
    ::testing::Values(FrameCase{1, 0xF0, 0, 0, {0x55, 0x01, 0xF0, 0x00, 0x00, 0x0F}},
                      FrameCase{1, 0x0A, 0, 0, {0x55, 0x01, 0x0A, 0x00, 0x00, 0xF5}},
                      FrameCase{1, 0x01, 0x05, 0x12, {0x55, 0x01, 0x01, 0x05, 0x12, 0xE7}},
                      FrameCase{1, 0x02, 0x0A, 0, {0x55, 0x01, 0x02, 0x0A, 0x00, 0xF3}},
                      FrameCase{2, 0x0D, 0x03, 0, {0x55, 0x02, 0x0D, 0x03, 0x00, 0xEF}},
                      // the sum wraps: 1 + 0xFF + 1 = 0x101
                      FrameCase{1, 0x01, 0xFF, 0x01, {0x55, 0x01, 0x01, 0xFF, 0x01, 0xFE}},
                      // only the low byte of the chip id goes out
                      FrameCase{0x102, 0xF0, 0, 0, {0x55, 0x02, 0xF0, 0x00, 0x00, 0x0F}}));

TEST(AcquisitionFrame, CountSplitsIntoHighAndLowByte) {
    EXPECT_EQ(BuildAcquisitionFrame(1, 45), (CommandFrame{0x55, 0x01, 0x0F, 0x00, 0x2D, 0xC3}));
    EXPECT_EQ(BuildAcquisitionFrame(2, 65535), (CommandFrame{0x55, 0x02, 0x0F, 0xFF, 0xFF, 0xF2}));
    EXPECT_EQ(BuildAcquisitionFrame(1, 1), (CommandFrame{0x55, 0x01, 0x0F, 0x00, 0x01, 0xEF}));
}

struct ReplyCase {
    CommandFrame sent;
    uint8_t replyData;
    uint8_t expectedChecksum;
};

class ReplyChecksumTest : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyChecksumTest, PlainSumOfCodeParameterAndData) {
    const ReplyCase &c = GetParam();
    EXPECT_EQ(ExpectedReplyChecksum(c.sent, c.replyData), c.expectedChecksum);
}

INSTANTIATE_TEST_SUITE_P(Examples, ReplyChecksumTest,
                         ::testing::Values(
                             // detection probe: data byte not covered
                             ReplyCase{BuildCommandFrame(1, 0xF0, 0, 0), 0x77, 0xF0},
                             // register write: covers the value sent, not the reply's data
                             ReplyCase{BuildCommandFrame(1, 0x01, 0x05, 0x12), 0x99, 0x18},
                             // register read: covers the value read
                             ReplyCase{BuildCommandFrame(1, 0x02, 0x0A, 0), 0x3C, 0x48},
                             ReplyCase{BuildCommandFrame(1, 0x02, 0x0A, 0), 0x00, 0x0C},
                             ReplyCase{BuildCommandFrame(1, 0x01, 0xFF, 0x01), 0x00, 0x01}));

TEST(StatusMessage, NamedAndUnnamedStatuses) {
    EXPECT_STREQ(StatusMessage(1), "DUT Disconnect");
    EXPECT_STREQ(StatusMessage(2), "DUT No Response");
    EXPECT_STREQ(StatusMessage(3), "AP Command Timeout ");
    EXPECT_STREQ(StatusMessage(4), "Unknown Error");
    EXPECT_STREQ(StatusMessage(7), "Unknown Error");
    EXPECT_STREQ(StatusMessage(255), "Unknown Error");
}

struct ItemCase {
    uint8_t bytes[4];
    bool checksumOk;
    int32_t value;
};

class ItemTest : public ::testing::TestWithParam<ItemCase> {};

TEST_P(ItemTest, ChecksumAndSignedValue) {
    const ItemCase &c = GetParam();
    EXPECT_EQ(ItemChecksumOk(c.bytes), c.checksumOk);
    EXPECT_EQ(ItemValue(c.bytes), c.value);
}

INSTANTIATE_TEST_SUITE_P(Examples, ItemTest,
                         ::testing::Values(ItemCase{{0x7F, 0xFF, 0xFF, 0x7D}, true, 8388607},
                                           ItemCase{{0x80, 0x00, 0x00, 0x80}, true, -8388608},
                                           ItemCase{{0xFF, 0xFF, 0xFF, 0xFD}, true, -1},
                                           ItemCase{{0x00, 0x00, 0x00, 0x00}, true, 0},
                                           ItemCase{{0x12, 0x34, 0x56, 0x00}, false, 0x123456}));

TEST(ChipCatalog, TwoChipsInOrderThenTheEndRow) {
    EXPECT_EQ(g_chipCatalog[0].chipId, 1);
    EXPECT_STREQ(g_chipCatalog[0].name, "VXC5480");
    EXPECT_EQ(g_chipCatalog[1].chipId, 2);
    EXPECT_STREQ(g_chipCatalog[1].name, "VXC5420");
    EXPECT_EQ(g_chipCatalog[2].valid, -1);
    ASSERT_NE(FindChip(2), nullptr);
    EXPECT_STREQ(FindChip(2)->name, "VXC5420");
    EXPECT_EQ(FindChip(0), nullptr);
    EXPECT_EQ(FindChip(3), nullptr);
}

} // namespace
