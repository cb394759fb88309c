// The private-profile module against the files it meets: comments, loose lines, blanks,
// quotes, letter case, other sections and the encodings.

#include "platform/private_profile.h"

#include <QStringEncoder>

#include <string_view>

#include "tests/support/scratch_file.h"

#include <gtest/gtest.h>

namespace {

using platform::ReadProfileString;
using platform::WriteProfileString;

class PrivateProfileTest : public ScratchFileTest {
  protected:
    PrivateProfileTest() : ScratchFileTest("p.ini") {}
};

struct ReadCase {
    const char *section;
    const char *key;
    const char *expected; // null: the default comes back
};

class ReadTest : public PrivateProfileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadTest, FindsValuesByTheProfileRules) {
    put("; leading comment\r\n"
        "Loose=outside any section\r\n"
        "[EVM]\r\n"
        "Target=VXC5480\r\n"
        "  [ reg ]  \r\n"
        "  STATUS  =  0x30  \r\n"
        "mux=\"0x01\"\r\n"
        "Empty=\r\n"
        "Dup=first\r\n"
        "Dup=second\r\n"
        "NoEquals\r\n"
        "\r\n"
        "[Other]\r\n"
        "STATUS=0x99\r\n"
        "Last=no line end");
    const ReadCase &c = GetParam();
    const QString value = ReadProfileString(
        QString::fromLatin1(c.section), QString::fromLatin1(c.key), QStringLiteral("dflt"), path());
    EXPECT_EQ(value, c.expected ? QString::fromLatin1(c.expected) : QStringLiteral("dflt"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadTest,
    ::testing::Values(ReadCase{"EVM", "Target", "VXC5480"}, ReadCase{"evm", "TARGET", "VXC5480"},
                      ReadCase{"REG", "status", "0x30"}, ReadCase{"REG", "MUX", "0x01"},
                      ReadCase{"REG", "Empty", ""}, ReadCase{"REG", "Dup", "first"},
                      ReadCase{"REG", "NoEquals", ""}, ReadCase{"Other", "STATUS", "0x99"},
                      ReadCase{"Other", "Last", "no line end"}, ReadCase{"REG", "Missing", nullptr},
                      ReadCase{"Nowhere", "Target", nullptr}, ReadCase{"EVM", "Loose", nullptr}));

TEST_F(PrivateProfileTest, MissingFileGivesTheDefaultAndBufferTruncates) {
    EXPECT_EQ(ReadProfileString("EVM", "Target", "x", path()), QStringLiteral("x"));
    put("[A]\r\nK=0123456789ABCDEFGHIJ\r\n");
    EXPECT_EQ(ReadProfileString("A", "K", "", path(), 16), QStringLiteral("0123456789ABCDE"));
}

TEST_F(PrivateProfileTest, NewFileIsWrittenWithCrLf) {
    ASSERT_TRUE(WriteProfileString("EVM", "Target", "VXC5480", path()));
    ASSERT_TRUE(WriteProfileString("REG", "STATUS", "0x30", path()));
    ASSERT_TRUE(WriteProfileString("REG", "MUX", "0x01", path()));
    EXPECT_EQ(bytes(),
              QByteArray("[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nSTATUS=0x30\r\nMUX=0x01\r\n"));
}

struct WriteCase {
    const char *name;
    const char *before;
    const char *section;
    const char *key;
    const char *after;
};

class WriteTest : public PrivateProfileTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteTest, ChangesOneLineAndKeepsTheRest) {
    const WriteCase &c = GetParam();
    put(c.before);
    ASSERT_TRUE(WriteProfileString(c.section, c.key, "NEW", path()));
    EXPECT_EQ(bytes(), QByteArray(c.after));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteTest,
    ::testing::Values(WriteCase{"ReplaceInPlaceKeepingCaseOfFile",
                                "; mine\r\n[Reg]\r\n  Mux = old ; note\r\nIO=1\r\n", "REG", "MUX",
                                "; mine\r\n[Reg]\r\nMux=NEW\r\nIO=1\r\n"},
                      WriteCase{"NewKeyGoesAfterLastEntryBeforeBlankLines",
                                "[EVM]\r\nTarget=A\r\n\r\n[REG]\r\nX=1\r\n", "EVM", "Extra",
                                "[EVM]\r\nTarget=A\r\nExtra=NEW\r\n\r\n[REG]\r\nX=1\r\n"},
                      WriteCase{"NewSectionAfterUnterminatedLastLine", "[A]\r\nK=1", "B", "K",
                                "[A]\r\nK=1\r\n[B]\r\nK=NEW\r\n"},
                      WriteCase{"LfFileStaysLf", "[A]\nK=1\n", "A", "J", "[A]\nK=1\nJ=NEW\n"},
                      WriteCase{"OnlyFirstOfDuplicateKeys", "[A]\r\nK=1\r\nK=2\r\n", "a", "k",
                                "[A]\r\nK=NEW\r\nK=2\r\n"},
                      WriteCase{"CodePageBytesSurvive", "[A]\r\nName=Caf\xE9\r\nK=1\r\n", "A", "K",
                                "[A]\r\nName=Caf\xE9\r\nK=NEW\r\n"},
                      WriteCase{"Utf8BomKept", "\xEF\xBB\xBF[A]\r\nK=1\r\n", "A", "K",
                                "\xEF\xBB\xBF[A]\r\nK=NEW\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

QByteArray utf16le(const QString &text) {
    return QByteArray("\xFF\xFE", 2) + QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(text));
}

TEST_F(PrivateProfileTest, Utf16FileIsReadAndRewrittenInUtf16) {
    put(utf16le(QStringLiteral("[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nMUX=0x01\r\n")));
    EXPECT_EQ(ReadProfileString("evm", "target", "", path()), QStringLiteral("VXC5480"));
    ASSERT_TRUE(WriteProfileString("REG", "MUX", "0x23", path()));
    EXPECT_EQ(bytes(), utf16le(QStringLiteral("[EVM]\r\nTarget=VXC5480\r\n[REG]\r\nMUX=0x23\r\n")));
}

// Files that a save used to damage: every byte but the written line's must stay.
struct KeepBytesCase {
    const char *name;
    std::string_view before; // string_view: the bytes hold NULs
    std::string_view after;
};

class KeepBytesTest : public PrivateProfileTest,
                      public ::testing::WithParamInterface<KeepBytesCase> {};

QByteArray bytesOf(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

TEST_P(KeepBytesTest, WriteOfRegMuxKeepsEveryOtherByte) {
    const KeepBytesCase &c = GetParam();
    put(bytesOf(c.before));
    ASSERT_TRUE(WriteProfileString("REG", "MUX", "NEW", path()));
    EXPECT_EQ(bytes().toHex(' '), bytesOf(c.after).toHex(' '));
    EXPECT_EQ(ReadProfileString("REG", "MUX", "", path()), QStringLiteral("NEW"));
}

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, KeepBytesTest,
    ::testing::Values(
        // The half unit at the end is completed so that the appended lines read in step.
        KeepBytesCase{"Utf16OddLength",
                      "\xFF\xFE"
                      "a\0b"sv,
                      "\xFF\xFE"
                      "a\0b\0\r\0\n\0[\0R\0E\0G\0]\0\r\0\n\0"
                      "M\0U\0X\0=\0N\0E\0W\0\r\0\n\0"sv},
        KeepBytesCase{"CodePageEndingInLeadByte", "[A]\r\nName=Caf\xE9"sv,
                      "[A]\r\nName=Caf\xE9\r\n[REG]\r\nMUX=NEW\r\n"sv},
        KeepBytesCase{"OneLeadByte", "\xD8"sv, "\xD8\r\n[REG]\r\nMUX=NEW\r\n"sv},
        KeepBytesCase{"Utf8BomWithCodePageBytes",
                      "\xEF\xBB\xBF"
                      "a\xE9\r\n[REG]\r\nMUX=1\r\n"sv,
                      "\xEF\xBB\xBF"
                      "a\xE9\r\n[REG]\r\nMUX=NEW\r\n"sv},
        KeepBytesCase{"DoubledUtf8Bom", "\xEF\xBB\xBF\xEF\xBB\xBF[REG]\r\nMUX=1\r\n"sv,
                      "\xEF\xBB\xBF\xEF\xBB\xBF[REG]\r\nMUX=NEW\r\n"sv},
        // The profile fuzzer's finding: a UTF-16BE file whose value runs on into "[REG]" and
        // which ends in half a unit. Only the value's own bytes change.
        KeepBytesCase{"Utf16BeValueThenHalfUnit",
                      "\xFE\xFF"
                      "\0[\0R\0E\0G\0]\0\r\0M\0U\0X\0=\0\xFF\0[\0R\0E\0G\0]\0\r\0M\0U\0X\0'"
                      "\xFF\xFF\xD6\xFF_"sv,
                      "\xFE\xFF"
                      "\0[\0R\0E\0G\0]\0\r\0M\0U\0X\0=\0N\0E\0W\0\r\0M\0U\0X\0'"
                      "\xFF\xFF\xD6\xFF_"sv},
        // The same bytes after three ASCII lines: no mark at the start, so a code-page file
        // whose "[REG]" hides between zero bytes; the section is appended, nothing is lost.
        KeepBytesCase{"AsciiLinesThenUtf16Text",
                      "\nMUX\n\n\xFE\xFF"
                      "\0[\0R\0E\0G\0]\0\r\0M\0U\0X\0=\0\xFF\0[\0R\0E\0G\0]\0\r\0M\0U\0X\0'"
                      "\xFF\xFF\xD6\xFF_"sv,
                      "\nMUX\n\n\xFE\xFF"
                      "\0[\0R\0E\0G\0]\0\r\0M\0U\0X\0=\0\xFF\0[\0R\0E\0G\0]\0\r\0M\0U\0X\0'"
                      "\xFF\xFF\xD6\xFF_\n[REG]\nMUX=NEW\n"sv},
        KeepBytesCase{"DoubledUtf16Bom",
                      "\xFF\xFE\xFF\xFE[\0R\0E\0G\0]\0\r\0\n\0M\0U\0X\0=\0"
                      "1\0\r\0\n\0"sv,
                      "\xFF\xFE\xFF\xFE[\0R\0E\0G\0]\0\r\0\n\0M\0U\0X\0=\0N\0E\0W\0\r\0\n\0"sv}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PrivateProfileTest, ValueReadsWholeWhateverTheLastBytes) {
    put("[A]\r\nName=Caf\xE9");
    EXPECT_EQ(ReadProfileString("A", "Name", "", path()), QStringLiteral("Caf\u00E9"));
    put(QByteArray("\xFF\xFE[\0A\0]\0\n\0K\0=\0x\0y", 17));
    EXPECT_EQ(ReadProfileString("A", "K", "", path()), QStringLiteral("xy"));
    put("\xEF\xBB\xBF[A]\r\nK=ab\xC3");
    EXPECT_EQ(ReadProfileString("A", "K", "", path()), QStringLiteral("ab\uFFFD"));
}

// A code-page file whose only bytes that are not UTF-8 sit in the line being replaced becomes
// UTF-8; the value must still read back as written.
TEST_F(PrivateProfileTest, ValueReadsBackWhenTheFileTurnsUtf8) {
    put("[A]\r\nK=\xE9\r\nN=1\r\n");
    const QString value = QStringLiteral("\u00C3\u00A9");
    ASSERT_TRUE(WriteProfileString("A", "K", value, path()));
    EXPECT_EQ(ReadProfileString("A", "K", "", path()), value);
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nK=\xC3\x83\xC2\xA9\r\nN=1\r\n"));
}

TEST_F(PrivateProfileTest, LineBreakInANameOrValueIsRefused) {
    put("[A]\r\nK=1\r\n");
    EXPECT_FALSE(WriteProfileString("A", "K", "2\r\n[B]", path()));
    EXPECT_FALSE(WriteProfileString("A", "K\nJ", "2", path()));
    EXPECT_FALSE(WriteProfileString("A\r", "K", "2", path()));
    EXPECT_EQ(bytes(), QByteArray("[A]\r\nK=1\r\n"));
}

TEST_F(PrivateProfileTest, UnwritableFileReportsFailure) {
    const QString dir = pathInFolder(QStringLiteral("missing-folder/p.ini"));
    EXPECT_FALSE(WriteProfileString("A", "K", "1", dir));
}

} // namespace
