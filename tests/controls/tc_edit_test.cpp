// The hex-digit edit: which keystrokes get in, and what the edit then shows.

#include "controls/tc_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct KeyCase {
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char *text; // what the key types
    const char *shown;
};

class TypedKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(TypedKeyTest, OnlyHexDigitsGetIn) {
    const KeyCase &c = GetParam();
    QApplication::clipboard()->setText(QStringLiteral("77"));
    CTCEdit edit;
    edit.setUpperCase(true);
    edit.setText(QStringLiteral("1"));
    QTest::sendKeyEvent(QTest::Click, &edit, c.key, QString::fromLatin1(c.text), c.modifiers);
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedKeyTest,
    ::testing::Values(KeyCase{"Zero", Qt::Key_0, Qt::NoModifier, "0", "10"},
                      KeyCase{"Nine", Qt::Key_9, Qt::NoModifier, "9", "19"},
                      KeyCase{"LowerA", Qt::Key_A, Qt::NoModifier, "a", "1A"},
                      KeyCase{"LowerF", Qt::Key_F, Qt::NoModifier, "f", "1F"},
                      KeyCase{"UpperA", Qt::Key_A, Qt::ShiftModifier, "A", "1A"},
                      KeyCase{"UpperF", Qt::Key_F, Qt::ShiftModifier, "F", "1F"},
                      KeyCase{"LowerG", Qt::Key_G, Qt::NoModifier, "g", "1"},
                      KeyCase{"UpperG", Qt::Key_G, Qt::ShiftModifier, "G", "1"},
                      KeyCase{"LowerX", Qt::Key_X, Qt::NoModifier, "x", "1"},
                      KeyCase{"Minus", Qt::Key_Minus, Qt::NoModifier, "-", "1"},
                      KeyCase{"Space", Qt::Key_Space, Qt::NoModifier, " ", "1"},
                      KeyCase{"Slash", Qt::Key_Slash, Qt::NoModifier, "/", "1"},
                      KeyCase{"Colon", Qt::Key_Colon, Qt::NoModifier, ":", "1"},
                      KeyCase{"At", Qt::Key_At, Qt::NoModifier, "@", "1"},
                      KeyCase{"Backtick", Qt::Key_QuoteLeft, Qt::NoModifier, "`", "1"},
                      KeyCase{"Tab", Qt::Key_Tab, Qt::NoModifier, "\t", "1"},
                      KeyCase{"Backspace", Qt::Key_Backspace, Qt::NoModifier, "\b", ""},
                      KeyCase{"CtrlVPastesNothing", Qt::Key_V, Qt::ControlModifier, "\x16", "1"},
                      KeyCase{"CtrlVAsTestsSendIt", Qt::Key_V, Qt::ControlModifier, "v", "1"},
                      KeyCase{"CtrlXCutsNothing", Qt::Key_X, Qt::ControlModifier, "\x18", "1"},
                      KeyCase{"CtrlABeforeBackspace", Qt::Key_A, Qt::ControlModifier, "a", "1"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CTCEdit, FilterAcceptsExactlyHexDigitsAndBackspace) {
    QString accepted;
    for (char32_t code = 0; code <= 0xFFFF; ++code) {
        if (CTCEdit::AcceptsCharacter(static_cast<char16_t>(code)))
            accepted += QChar(static_cast<char16_t>(code));
    }
    EXPECT_EQ(accepted, QStringLiteral("\b0123456789ABCDEFabcdef"));
}

TEST(CTCEdit, LengthLimitAndUpperCase) {
    CTCEdit edit;
    edit.setUpperCase(true);
    edit.setMaxLength(2);
    QTest::keyClicks(&edit, QStringLiteral("abc"));
    EXPECT_EQ(edit.text(), QStringLiteral("AB"));
}

TEST(CTCEdit, KeysThatTypeNothingStillEdit) {
    CTCEdit edit;
    edit.setText(QStringLiteral("12"));
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClicks(&edit, QStringLiteral("e"));
    EXPECT_EQ(edit.text(), QStringLiteral("e2"));
}

TEST(CTCEdit, DeleteKeyDeletesWithTheTextX11GivesIt) {
    // Under xkb the Delete key arrives with DEL (0x7F) as its text; it must still delete.
    CTCEdit edit;
    edit.setText(QStringLiteral("12"));
    edit.setCursorPosition(0);
    QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_Delete, QStringLiteral("\x7f"),
                        Qt::NoModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("2"));
}

TEST(CTCEdit, ProgramTextPassesUnfilteredButShowsUpperCase) {
    CTCEdit edit;
    edit.setUpperCase(true);
    edit.setText(QStringLiteral("xy-z"));
    EXPECT_EQ(edit.text(), QStringLiteral("XY-Z"));
}

} // namespace

namespace {
// Drags mime text over the edit and drops it at its left edge, as the mouse would.
bool dropText(CTCEdit &edit, const QString &text) {
    QMimeData data;
    data.setText(text);
    const QPoint at(2, edit.height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&edit, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&edit, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&edit, &drop);
    return enter.isAccepted() && drop.isAccepted();
}
} // namespace

TEST(CTCEdit, DroppedTextGetsInOnlyWhenItIsAllHexDigits) {
    const struct {
        const char *dropped;
        bool taken;
    } cases[] = {{"1a", true},  {"F", true},    {"1g", false}, {"0x12", false}, {" 12", false},
                 {"-1", false}, {"1\b", false}, {"", false},   {"12\n", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.dropped);
        CTCEdit edit;
        edit.setUpperCase(true);
        edit.setMaxLength(6);
        edit.resize(80, 24);
        edit.show();
        edit.setText(QStringLiteral("5"));
        const bool taken = dropText(edit, QString::fromLatin1(c.dropped));
        EXPECT_EQ(taken, c.taken);
        if (c.taken)
            EXPECT_EQ(edit.text(), QString::fromLatin1(c.dropped).toUpper() + u'5');
        else
            EXPECT_EQ(edit.text(), QStringLiteral("5"));
    }
}
