// The Cal page's commands and registers, and the power commands of the Power & Ref page.

#include "panel_fixture.h"

#include <QImage>
#include <QTest>

namespace {

using namespace vxc5480;

struct CalCase {
    int buttonId;
    uint8_t code;
    const char *failure;
};

class CalibrationTest : public PanelTest, public ::testing::WithParamInterface<CalCase> {};

TEST_P(CalibrationTest, SendsItsCommand) {
    TZ410Dlg &panel = openPanel();
    platform::MessageRecorder messages;
    click(panel.m_calPage->control(GetParam().buttonId));
    EXPECT_EQ(m_board.receivedFrames(), Frames{CommandFrameOf(GetParam().code)});
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(busy().calibrating, 0);
}

TEST_P(CalibrationTest, FailureShowsTheLinkThenThePageMessage) {
    TZ410Dlg &panel = openPanel();
    failCommand(GetParam().code, 2);
    platform::MessageRecorder messages;
    click(panel.m_calPage->control(GetParam().buttonId));
    EXPECT_EQ(messages.texts(), (QStringList{"DUT No Response", GetParam().failure}));
    EXPECT_EQ(messages.messages().back().caption, "Error");
    EXPECT_EQ(busy().calibrating, 0);
}

TEST_P(CalibrationTest, NothingHappensDuringAnAcquisition) {
    TZ410Dlg &panel = openPanel();
    busy().acquiring = 1;
    click(panel.m_calPage->control(GetParam().buttonId));
    EXPECT_TRUE(m_board.receivedFrames().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, CalibrationTest,
    ::testing::Values(
        CalCase{1049, command::kSelfCalibration, "Self gain calibration failed !"},
        CalCase{1022, command::kSelfOffsetCalibration, "Self offset calibration failed !"},
        CalCase{1050, command::kSelfGainCalibration, "Self gain calibration failed !"},
        CalCase{1051, command::kSystemOffsetCalibration, "System offset calibration failed !"},
        CalCase{1052, command::kSystemGainCalibration, "System gain calibration failed !"}),
    [](const auto &info) { return "Button" + std::to_string(info.param.buttonId); });

QRgb lampCentre(QWidget *lamp) {
    const QImage image = lamp->grab().toImage();
    return image.pixel(image.width() / 2, image.height() / 2);
}

TEST_F(PanelTest, WorkingLampIsRedWhileTheSelfCalibrationRuns) {
    TZ410Dlg &panel = openPanel();
    selectTab(kTabCal);
    QWidget *lamp = panel.m_calPage->control(TZ410CALDlg::kIndicator);
    const QRgb idle = lampCentre(lamp);
    failCommand(command::kSelfCalibration, 1);
    std::vector<QRgb> seen;
    platform::MessageRecorder messages(
        [&](const platform::Message &) { seen.push_back(lampCentre(lamp)); });
    click(panel.m_calPage->control(TZ410CALDlg::kSelfCalButton));
    // The link's message comes while the command runs; the page's own after the lamp is out.
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], qRgb(255, 0, 0));
    EXPECT_EQ(seen[1], idle);
    EXPECT_NE(idle, qRgb(255, 0, 0));
}

TEST_F(PanelTest, SetWritesOffsetAndGainLowByteFirst) {
    TZ410Dlg &panel = openPanel();
    QTest::keyClicks(panel.m_calPage->control(TZ410CALDlg::kOffsetEdit), "12345");
    const std::vector<uint8_t> before = panel.m_current;
    click(panel.m_calPage->control(TZ410CALDlg::kSetButton));
    EXPECT_EQ(
        m_board.receivedFrames(),
        (Frames{WriteFrameOf(kOfc0, 0x45), WriteFrameOf(kOfc1, 0x23), WriteFrameOf(kOfc2, 0x01),
                WriteFrameOf(kFsc0, 0x00), WriteFrameOf(kFsc1, 0x00), WriteFrameOf(kFsc2, 0x00)}));
    EXPECT_EQ(panel.m_current, before);
}

TEST_F(PanelTest, ReadShowsCalibrationRegistersAndTheAllRegsColumn) {
    TZ410Dlg &panel = openPanel();
    const uint8_t values[] = {0x45, 0x23, 0x01, 0x9A, 0xBC, 0x4D};
    for (int i = 0; i < 6; ++i)
        m_board.setRegisterValue(static_cast<uint8_t>(kOfc0 + i), values[i]);
    click(panel.m_calPage->control(TZ410CALDlg::kReadButton));
    Frames expected;
    for (uint8_t a = kOfc0; a <= kFsc2; ++a)
        expected.push_back(ReadFrameOf(a));
    EXPECT_EQ(m_board.receivedFrames(), expected);
    EXPECT_EQ(text(panel.m_calPage->control(TZ410CALDlg::kCurrentOffsetEdit)), "012345");
    EXPECT_EQ(text(panel.m_calPage->control(TZ410CALDlg::kCurrentGainEdit)), "4DBC9A");
    EXPECT_EQ(panel.m_allPage->readText(kFsc1), "BC");
}

TEST_F(PanelTest, PowerButtonsSendTheirCommandsAndLockEachOther) {
    TZ410Dlg &panel = openPanel();
    TZ410POWERDlg *page = panel.m_powerPage;
    click(page->control(TZ410POWERDlg::kPowerDownButton));
    EXPECT_FALSE(page->control(TZ410POWERDlg::kStandbyButton)->isEnabled());
    click(page->control(TZ410POWERDlg::kWakeupButton));
    EXPECT_TRUE(page->control(TZ410POWERDlg::kStandbyButton)->isEnabled());
    click(page->control(TZ410POWERDlg::kStandbyButton));
    EXPECT_FALSE(page->control(TZ410POWERDlg::kPowerDownButton)->isEnabled());
    EXPECT_EQ(m_board.receivedFrames(),
              (Frames{CommandFrameOf(command::kPowerDown), CommandFrameOf(command::kWakeup),
                      CommandFrameOf(command::kStandby)}));

    failCommand(command::kWakeup, 1);
    platform::MessageRecorder messages;
    click(page->control(TZ410POWERDlg::kWakeupButton));
    EXPECT_EQ(messages.texts(), QStringList{"DUT Disconnect"});
    EXPECT_FALSE(page->control(TZ410POWERDlg::kPowerDownButton)->isEnabled());
}

} // namespace
