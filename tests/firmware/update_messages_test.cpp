#include "firmware/update_codes.h"
#include "firmware/update_messages.h"

#include <gtest/gtest.h>

using namespace firmware;

TEST(UpdateMessages, ResultsNameTheEntryOfTheirLowByte) {
    struct Case {
        int result;
        const char *text;
    };
    const Case cases[] = {
        {result::kNoUpdateDevice, "Corvel is not found !"},
        {result::kWaitTimeout, "Part No is not supported !"},
        {result::kBadReply, "Close Corvel fail !"},
        {result::kOutOfMemory, "Reset to ISP fail !"},
        {result::kImageMismatch, "Program code failed !"},
        {result::kStatusChecksum, "Checksum is not match !"},
        {result::kStatusVoltage, "Device voltage is out of range !"},
        {result::kStatusNoResponse, "The device is not responding !"},
        {11, "Target is not \"%s\" !"},
        {22, "Check ID fail !"},
        {0x100, "SUCCESS !"},
        // No entry above 22: the text says what failed and gives the whole code.
        {result::kDeviceFailure, "Update firmware fail ! (0x0000001F)"},
        {23, "Update firmware fail ! (0x00000017)"},
        {-1, "Update firmware fail ! (0xFFFFFFFF)"},
        {0x2000ABCD, "Update firmware fail ! (0x2000ABCD)"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(UpdateMessageText(c.result), QString::fromLatin1(c.text)) << c.result;
}

TEST(UpdateMessages, TableHas23Entries) {
    EXPECT_EQ(UpdateMessage(0), QStringLiteral("SUCCESS !"));
    EXPECT_EQ(UpdateMessage(20),
              QStringLiteral("Older versions of Corvel hardware is not supported !"));
    EXPECT_TRUE(UpdateMessage(23).isEmpty());
    for (int entry = 0; entry < kUpdateMessageCount; ++entry)
        EXPECT_TRUE(UpdateMessage(entry).endsWith(QStringLiteral(" !"))) << entry;
}
