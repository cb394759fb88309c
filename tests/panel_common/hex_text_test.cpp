// Register bytes as text, shared by both panels: the two hex digits a cell shows and the
// reading of what the user typed.

#include "chips/common/hex_text.h"

#include <gtest/gtest.h>

namespace {

using panel_common::HexByteText;
using panel_common::ParseHex;

TEST(HexByteText, TwoUpperCaseDigits) {
    EXPECT_EQ(HexByteText(0x0A), QStringLiteral("0A"));
    EXPECT_EQ(HexByteText(0x00), QStringLiteral("00"));
    EXPECT_EQ(HexByteText(0xFF), QStringLiteral("FF"));
}

struct HexCase {
    const char *text;
    int maxChars;
    uint32_t value;
};

class ParseHexTest : public ::testing::TestWithParam<HexCase> {};

TEST_P(ParseHexTest, ReadsLikeTheCLibrary) {
    EXPECT_EQ(ParseHex(QString::fromLatin1(GetParam().text), GetParam().maxChars),
              GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseHexTest,
    ::testing::Values(HexCase{"", -1, 0}, HexCase{"0x1FF", -1, 0x1FF}, HexCase{"0X0a", -1, 0x0A},
                      HexCase{"  \t0x12zz", -1, 0x12}, HexCase{"zz", -1, 0}, HexCase{"0xg", -1, 0},
                      HexCase{"12345", -1, 0x12345}, HexCase{"ABC", 2, 0xAB},
                      HexCase{"123456789", -1, 0xFFFFFFFF}, HexCase{"x12", -1, 0}));

} // namespace
