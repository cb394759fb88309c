// The "Mode" list: what each choice shows and sends, its failure and retry, and the gain and
// data-rate lists that edit the pending CR1.

#include "panel_fixture.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

namespace {

using namespace tz420test;
using namespace vxc5420;

struct ModeStep {
    int position;     // chosen in the "Mode" list
    int sentMode;     // argument of the set-mode frame; 0: nothing sent
    const char *gain; // shown in "PGA Gain"
    const char *rate; // shown in "Data Rate"
    bool listsEnabled;
    uint8_t boardCr1; // what the chip's CR1 reads after the step
};

// One run through the modes, in this order, from the panel's start (chip CR1 0x70).
const ModeStep kModeSteps[] = {
    {3, 4, "128", "    10 SPS", true, 0x70},  // Command Mode: selections stay
    {3, 0, "128", "    10 SPS", true, 0x70},  // the applied mode again: nothing
    {1, 2, "1", "    40 SPS", false, 0x02},   // PGA 1 / 40 SPS (DVDD-AVDD)
    {2, 3, "128", "    40 SPS", false, 0x72}, // PGA 128 / 40 SPS
    {0, 1, "128", "    10 SPS", false, 0x70}, // PGA 128 / 10 SPS
    {0, 0, "128", "    10 SPS", false, 0x70}, {3, 4, "128", "    10 SPS", true, 0x70},
};

TEST_F(Panel2Test, EachModeChoiceShowsItsListsAndSendsItsModeOnce) {
    TZ420Dlg &panel = openPanel();
    const std::vector<uint8_t> pending = panel.m_pending;
    platform::MessageRecorder messages;
    int step = 0;
    for (const ModeStep &s : kModeSteps) {
        SCOPED_TRACE(step++);
        m_board.clearReceivedFrames();
        choose(list(TZ420Dlg::kModeList), s.position);
        EXPECT_EQ(m_board.receivedFrames(),
                  s.sentMode ? Frames{SetModeFrameOf(static_cast<uint8_t>(s.sentMode))} : Frames{});
        EXPECT_EQ(list(TZ420Dlg::kPgaList)->currentText(), s.gain);
        EXPECT_EQ(list(TZ420Dlg::kRateList)->currentText(), s.rate);
        EXPECT_EQ(list(TZ420Dlg::kPgaList)->isEnabled(), s.listsEnabled);
        EXPECT_EQ(list(TZ420Dlg::kRateList)->isEnabled(), s.listsEnabled);
        EXPECT_EQ(panel.m_mode, s.position + 1);
        EXPECT_EQ(panel.m_appliedMode, s.position + 1);
        EXPECT_EQ(panel.m_pending, pending) << "the lists' new selection is only shown";
        EXPECT_EQ(m_board.registerValue(kCr1), s.boardCr1);
    }
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Panel2Test, FailedModeCommandIsToldAndRetriedByTheSameChoice) {
    TZ420Dlg &panel = openPanel();
    failCommand(command::kSetMode, 2);
    platform::MessageRecorder messages;
    choose(list(TZ420Dlg::kModeList), 3);
    EXPECT_EQ(m_board.receivedFrames(), Frames{SetModeFrameOf(4)});
    ASSERT_FALSE(messages.messages().empty());
    const platform::Message &last = messages.messages().back();
    EXPECT_EQ(last.text, "VXC5420 Set Mode Command Fail !");
    EXPECT_EQ(last.caption, "Error");
    EXPECT_EQ(last.icon, platform::MessageIcon::None);
    EXPECT_EQ(messages.messages().size(), 2u) << "the bridge's status message comes first";
    EXPECT_EQ(list(TZ420Dlg::kModeList)->currentIndex(), 3);
    EXPECT_TRUE(list(TZ420Dlg::kPgaList)->isEnabled());
    EXPECT_EQ(panel.m_mode, 4);
    EXPECT_EQ(panel.m_appliedMode, 1);

    m_board.setFaults({});
    m_board.clearReceivedFrames();
    choose(list(TZ420Dlg::kModeList), 3);
    EXPECT_EQ(m_board.receivedFrames(), Frames{SetModeFrameOf(4)});
    EXPECT_EQ(panel.m_appliedMode, 4);
    EXPECT_EQ(messages.messages().size(), 2u);
}

TEST_F(Panel2Test, GoingBackToTheAppliedModeAfterAFailureSendsNothing) {
    TZ420Dlg &panel = openPanel();
    failCommand(command::kSetMode, 3);
    platform::MessageRecorder messages;
    choose(list(TZ420Dlg::kModeList), 2);
    m_board.clearReceivedFrames();
    choose(list(TZ420Dlg::kModeList), 0);
    EXPECT_TRUE(m_board.receivedFrames().empty());
    EXPECT_EQ(panel.m_mode, 1);
    EXPECT_EQ(panel.m_appliedMode, 1);
}

TEST_F(Panel2Test, ModeChoiceDuringAnAcquisitionIsPutBack) {
    TZ420Dlg &panel = openPanel();
    busy().acquiring = 1;
    choose(list(TZ420Dlg::kModeList), 3);
    busy().acquiring = 0;
    EXPECT_TRUE(m_board.receivedFrames().empty()) << "nothing may cut into the sample stream";
    EXPECT_EQ(list(TZ420Dlg::kModeList)->currentIndex(), 0);
    EXPECT_FALSE(list(TZ420Dlg::kPgaList)->isEnabled());
    EXPECT_EQ(panel.m_mode, 1);
}

// One notch of the mouse wheel turned over the widget's middle, downwards.
void turnWheelOver(QWidget *widget) {
    const QPointF middle = QRectF(widget->rect()).center();
    QWheelEvent notch(middle, widget->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &notch);
}

TEST_F(Panel2Test, AWheelPassingOverTheModeListSendsNothing) {
    TZ420Dlg &panel = openPanel();
    QComboBox *modes = list(TZ420Dlg::kModeList);
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    ASSERT_FALSE(modes->hasFocus());

    turnWheelOver(modes);
    EXPECT_TRUE(m_board.receivedFrames().empty());
    EXPECT_EQ(modes->currentIndex(), 0);
    EXPECT_FALSE(modes->hasFocus()) << "the wheel does not take focus on its way through";
    EXPECT_EQ(panel.m_mode, 1);

    // The keyboard still chooses, and a list with focus takes the wheel too.
    modes->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(modes->hasFocus());
    QTest::keyClick(modes, Qt::Key_Down);
    EXPECT_EQ(m_board.receivedFrames(), Frames{SetModeFrameOf(2)});
    turnWheelOver(modes);
    EXPECT_EQ(m_board.receivedFrames(), (Frames{SetModeFrameOf(2), SetModeFrameOf(3)}));
    EXPECT_EQ(panel.m_appliedMode, 3);
}

TEST_F(Panel2Test, GainAndRateEditThePendingCr1Only) {
    TZ420Dlg &panel = openPanel();
    choose(list(TZ420Dlg::kModeList), 3);
    m_board.clearReceivedFrames();
    panel.m_pending[kCr1] = 0xFF;
    choose(list(TZ420Dlg::kPgaList), 4); // "16", code 4
    EXPECT_EQ(panel.m_pending[kCr1], 0x47);
    choose(list(TZ420Dlg::kRateList), 5); // "  320 SPS", code 5
    EXPECT_EQ(panel.m_pending[kCr1], 0x45);
    EXPECT_EQ(panel.m_allPage->writeText(kCr1), "45");
    EXPECT_EQ(panel.m_current[kCr1], 0x70);
    EXPECT_TRUE(m_board.receivedFrames().empty());
}

} // namespace
