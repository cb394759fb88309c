// "Write" from each tab: the frames in order, what moves into the current image, and the
// refusals and failures.

#include "panel_fixture.h"

#include <QTest>

namespace {

using namespace vxc5480;

// Each case edits the panel as a user would on one tab, then presses Write there.
struct TabCase {
    const char *name;
    int tab;
    void (*edit)(TZ410Dlg &);
    Frames expected;
};

// Chip start values on the virtual board: ADCON 0x20, DRATE 0xF0, IO 0xE1.
const TabCase kTabCases[] = {
    {"Mux",
     kTabMux,
     [](TZ410Dlg &p) {
         static_cast<QAbstractButton *>(p.m_muxPage->control(1081))->click(); // AIN+ = AIN3
         static_cast<QAbstractButton *>(p.m_muxPage->control(1095))->click(); // AIN- = AINCOM
     },
     {WriteFrameOf(kMux, 0x38), WriteFrameOf(kAdcon, 0x23), WriteFrameOf(kDrate, 0x82)}},
    {"Clocks",
     kTabClocks,
     [](TZ410Dlg &p) {
         auto *list = static_cast<QComboBox *>(p.m_clockPage->control(1060));
         list->setCurrentIndex(3);
         emit list->activated(3);
     },
     {WriteFrameOf(kAdcon, 0x63), WriteFrameOf(kDrate, 0x82)}},
    {"Gpio",
     kTabGpio,
     [](TZ410Dlg &p) {
         static_cast<QAbstractButton *>(p.m_ioPage->control(1066))->click(); // D3 output
         static_cast<QAbstractButton *>(p.m_ioPage->control(1062))->click(); // D3 high
     },
     {WriteFrameOf(kIo, 0x69), WriteFrameOf(kAdcon, 0x23), WriteFrameOf(kDrate, 0x82)}},
    {"Power",
     kTabPower,
     [](TZ410Dlg &p) {
         auto *list = static_cast<QComboBox *>(p.m_powerPage->control(1098));
         list->setCurrentIndex(3);
         emit list->activated(3);
     },
     {WriteFrameOf(kAdcon, 0x3B), WriteFrameOf(kDrate, 0x82)}},
    {"Status",
     kTabStatus,
     [](TZ410Dlg &p) { static_cast<QAbstractButton *>(p.m_statusPage->control(1101))->click(); },
     {WriteFrameOf(kStatus, 0xFF), WriteFrameOf(kAdcon, 0x23), WriteFrameOf(kDrate, 0x82)}},
};

class TabWriteTest : public PanelTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabWriteTest, SendsTheTabSequenceInOrder) {
    const TabCase &c = GetParam();
    TZ410Dlg &panel = openPanel();
    selectTab(c.tab);
    choose(panel.control(TZ410Dlg::kPgaList), 3);  // gain 8
    choose(panel.control(TZ410Dlg::kRateList), 8); // 100 SPS
    c.edit(panel);
    Frames expected = c.expected;
    if (c.tab == kTabStatus) // the buffer bit toggles whatever the chip's STATUS was
        expected[0] = WriteFrameOf(kStatus, panel.m_pending[kStatus]);
    platform::MessageRecorder messages;
    click(panel.control(TZ410Dlg::kWriteButton));
    EXPECT_EQ(m_board.receivedFrames(), expected);
    EXPECT_TRUE(messages.messages().empty());
    for (const Frame &frame : expected)
        EXPECT_EQ(panel.m_current[frame[3]], frame[4]);
    EXPECT_EQ(panel.m_allPage->readText(kDrate), "82");
    EXPECT_EQ(busy().registerBusy, 0);
    EXPECT_TRUE(panel.control(TZ410Dlg::kWriteButton)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Tabs, TabWriteTest, ::testing::ValuesIn(kTabCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PanelTest, FailedStepsShowNothingAndTheSequenceGoesOn) {
    TZ410Dlg &panel = openPanel();
    selectTab(kTabGpio);
    const std::vector<uint8_t> before = panel.m_current;
    click(panel.m_ioPage->control(1073)); // D0 input
    failCommand(command::kWriteRegister, 1);
    platform::MessageRecorder messages;
    click(panel.control(TZ410Dlg::kWriteButton));
    EXPECT_EQ(m_board.receivedFrames(), (Frames{WriteFrameOf(kIo, panel.m_pending[kIo]),
                                                WriteFrameOf(kAdcon, panel.m_pending[kAdcon]),
                                                WriteFrameOf(kDrate, panel.m_pending[kDrate])}));
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(panel.m_current, before);
}

TEST_F(PanelTest, SameChannelIsRefusedFromTheMuxTab) {
    TZ410Dlg &panel = openPanel();
    click(panel.m_muxPage->control(1087)); // AIN- = AIN0, as AIN+
    platform::MessageRecorder messages;
    click(panel.control(TZ410Dlg::kWriteButton));
    EXPECT_TRUE(m_board.receivedFrames().empty());
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "AIN+ and AIN- cannot select the same channel !");
    EXPECT_EQ(messages.messages()[0].caption, "Error");
    EXPECT_EQ(messages.messages()[0].icon, platform::MessageIcon::Error);
}

TEST_F(PanelTest, CalTabHidesWriteAndRead) {
    TZ410Dlg &panel = openPanel();
    selectTab(kTabCal);
    EXPECT_FALSE(panel.control(TZ410Dlg::kWriteButton)->isVisible());
    EXPECT_FALSE(panel.control(TZ410Dlg::kReadButton)->isVisible());
    EXPECT_TRUE(panel.m_calPage->isVisible());
    EXPECT_FALSE(panel.m_muxPage->isVisible());
    selectTab(kTabStatus);
    EXPECT_TRUE(panel.control(TZ410Dlg::kWriteButton)->isVisible());
}

TEST_F(PanelTest, AllRegsWritesElevenRegistersFromTheWriteColumn) {
    TZ410Dlg &panel = openPanel();
    selectTab(kTabAll);
    for (int a = 0; a < 11; ++a)
        panel.m_allPage->setWriteText(a, QString());
    QTest::keyClicks(panel.m_allPage->control(1026 + kMux), "3g8");
    QTest::keyClicks(panel.m_allPage->control(1026 + kFsc2), "ab");
    click(panel.control(TZ410Dlg::kWriteButton));
    Frames expected;
    for (uint8_t a = 0; a < 11; ++a)
        expected.push_back(WriteFrameOf(a, a == kMux ? 0x38 : a == kFsc2 ? 0xAB : 0x00));
    EXPECT_EQ(m_board.receivedFrames(), expected);
    EXPECT_EQ(panel.m_current[kFsc2], 0xAB);
    EXPECT_EQ(panel.m_allPage->readText(kMux), "38");
    EXPECT_EQ(text(panel.m_calPage->control(1057)), "AB0000");
}

TEST_F(PanelTest, AllRegsWriteStopsAtTheFirstFailure) {
    TZ410Dlg &panel = openPanel();
    selectTab(kTabAll);
    failCommand(command::kWriteRegister, 3);
    platform::MessageRecorder messages;
    click(panel.control(TZ410Dlg::kWriteButton));
    EXPECT_EQ(m_board.receivedFrames(), Frames{WriteFrameOf(kStatus, panel.m_pending[kStatus])});
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Write Register Address 00 Failed !");
    EXPECT_EQ(messages.messages()[0].caption, "Error occured !");
}

TEST_F(PanelTest, SwitchingToAllRegsShowsPendingAndSyncCopiesTheReadColumn) {
    TZ410Dlg &panel = openPanel();
    choose(panel.control(TZ410Dlg::kRateList), 0);
    EXPECT_EQ(panel.m_allPage->writeText(kDrate), "03");
    panel.m_allPage->setWriteText(kDrate, "7");
    selectTab(kTabAll);
    EXPECT_EQ(panel.m_allPage->writeText(kDrate), "03");
    click(panel.m_allPage->control(TZ410ALLDlg::kSyncButton));
    EXPECT_EQ(panel.m_allPage->writeText(kDrate), "F0");
    EXPECT_EQ(panel.m_pending[kDrate], 0x03);
    EXPECT_TRUE(m_board.receivedFrames().empty());
}

} // namespace
