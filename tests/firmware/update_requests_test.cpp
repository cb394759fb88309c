#include "firmware/update_requests.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace firmware;

TEST(UpdateRequests, SumIsModulo65536) {
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(Sum16(abc, 3), 0x0126);
    const std::vector<uint8_t> ff(300, 0xFF); // 76500 wraps to 10964
    EXPECT_EQ(Sum16(ff.data(), ff.size()), 76500 % 65536);
    EXPECT_EQ(Sum16(nullptr, 0), 0);
}

TEST(UpdateRequests, RequestLayout) {
    const UpdateRequestBlock block =
        BuildUpdateRequest(0xA7, request::kImageWrite, 0x04030201, 32644, 0xBEEF);
    const uint8_t head[] = {0x55, 0xA7, 0x05, 0x01, 0x01, 0x02, 0x03,
                            0x04, 0x84, 0x7F, 0x00, 0x00, 0xEF, 0xBE};
    EXPECT_EQ(std::memcmp(block.data(), head, sizeof head), 0);
    for (std::size_t i = sizeof head; i < block.size(); ++i)
        EXPECT_EQ(block[i], 0) << i;
}

TEST(UpdateRequests, ConfigurationWriteIsTheBlockThenFourErasedBytes) {
    const auto block = ConfigWriteBlock();
    ASSERT_EQ(block.size(), 36u);
    EXPECT_TRUE(std::equal(kConfigBlock.begin(), kConfigBlock.end(), block.begin()));
    EXPECT_EQ(block[0], 0xFE);
    EXPECT_EQ(block[9], 0xFD);
    EXPECT_EQ(block[23], 0xED);
    EXPECT_EQ(block[28], 0xC8);
    for (int i = 32; i < 36; ++i)
        EXPECT_EQ(block[i], 0xFF);
}

TEST(UpdateRequests, KnownIdentitiesLookAtThreeBytes) {
    struct Case {
        uint8_t id[4];
        bool known;
    };
    const Case cases[] = {{{0x10, 0xC0, 0x05, 0x00}, true},  {{0x10, 0xC0, 0x05, 0xFF}, true},
                          {{0xEF, 0x3F, 0xFA, 0x12}, true},  {{0x10, 0xC0, 0x04, 0x00}, false},
                          {{0xEF, 0x3F, 0x05, 0x00}, false}, {{0x00, 0x00, 0x00, 0x00}, false}};
    for (const Case &c : cases)
        EXPECT_EQ(IsKnownIdentity(c.id), c.known) << int(c.id[0]) << " " << int(c.id[2]);
}

TEST(UpdateRequests, TagIsTheLowByteOfTheProductOfTwoLowBytes) {
    EXPECT_EQ(MakeTag(0x1203, 0x7705), 15);
    EXPECT_EQ(MakeTag(0xFF, 0xFF), 0x01); // 0xFE01
    EXPECT_EQ(MakeTag(0x100, 0x42), 0);   // a tag of 0 is a tag like any other
}

TEST(UpdateRequests, VoltageRangeIncludesBothEnds) {
    EXPECT_TRUE(VoltageOutOfRange(17999));
    EXPECT_FALSE(VoltageOutOfRange(18000));
    EXPECT_FALSE(VoltageOutOfRange(33000));
    EXPECT_FALSE(VoltageOutOfRange(55000));
    EXPECT_TRUE(VoltageOutOfRange(55001));
    EXPECT_TRUE(VoltageOutOfRange(0));
}

TEST(UpdateRequests, ReplyFields) {
    uint8_t report[kInputReportSize] = {0, 0x3C, 0x99, 0x02, 0x00, 0xD0, 0x84};
    const Reply reply = ParseReply(report);
    EXPECT_EQ(reply.tag, 0x3C);
    EXPECT_EQ(reply.status, 2);
    EXPECT_EQ(reply.voltageMillivolts, 34000);
    report[4] = 0x01; // the status is 16 bits wide
    EXPECT_EQ(ParseReply(report).status, 0x0102);
}
