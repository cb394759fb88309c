// A chip that refuses one register address: the panel's start read and the "All Regs" write
// stop there, tell the user which address failed and keep what came before it.

#include "panel_fixture.h"

namespace {

using namespace vxc5480;

// What the virtual board holds before each test (STATUS keeps the chip's own byte).
const uint8_t kChip[kRegisterCount] = {0x00, 0x38, 0x3B, 0x82, 0x15, 0x45,
                                       0x23, 0x01, 0x00, 0x00, 0x40};

class AddressFaultTest : public PanelTest, public ::testing::WithParamInterface<int> {
  protected:
    void loadChip() {
        for (uint8_t a = 1; a < kRegisterCount; ++a)
            m_board.setRegisterValue(a, kChip[a]);
    }
    QString comboText(int id) {
        return static_cast<QComboBox *>(m_panel->control(id))->currentText();
    }
};

TEST_P(AddressFaultTest, StartReadStopsAtTheFailedAddress) {
    const int failed = GetParam();
    loadChip();
    RegisterImage chip{};
    for (int a = 0; a < kRegisterCount; ++a)
        chip[a] = m_board.registerValue(static_cast<uint8_t>(a));
    failAddress(static_cast<uint8_t>(failed), 2);
    platform::MessageRecorder messages;
    makePanel();
    ASSERT_TRUE(m_panel->OnInitDialog());
    TZ410Dlg &panel = *m_panel;

    Frames expected;
    for (int a = 0; a <= failed; ++a)
        expected.push_back(ReadFrameOf(static_cast<uint8_t>(a)));
    EXPECT_EQ(m_board.receivedFrames(), expected);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text,
              QStringLiteral("Read Register Address %1 Failed !").arg(HexByteText(failed)));
    EXPECT_EQ(messages.messages()[0].caption, "Error occured !");

    // The bytes read before the failure are kept; the refused register reads as 0, and
    // later ones were never read. Pending starts as the same image.
    RegisterImage kept{};
    for (int a = 0; a < failed; ++a)
        kept[a] = chip[a];
    EXPECT_EQ(panel.m_current, PanelImage(kept));
    EXPECT_EQ(panel.m_pending, PanelImage(kept));

    // Nothing was refreshed: every control is as the panel built it.
    EXPECT_EQ(comboText(TZ410Dlg::kPgaList), "1");
    EXPECT_EQ(comboText(TZ410Dlg::kRateList), "     2.5 SPS");
    EXPECT_EQ(panel.m_muxPage->m_ainPosId, TZ410MUXDlg::kFirstPosId);
    EXPECT_EQ(panel.m_muxPage->m_ainNegId, TZ410MUXDlg::kFirstNegId + 1);
    EXPECT_EQ(text(panel.m_calPage->control(TZ410CALDlg::kCurrentOffsetEdit)), "");
    for (int a = 0; a < kRegisterCount; ++a) {
        EXPECT_EQ(panel.m_allPage->readText(a), "") << a;
        EXPECT_EQ(panel.m_allPage->writeText(a), "00") << a;
    }
    EXPECT_TRUE(panel.control(TZ410Dlg::kReadButton)->isEnabled());
    EXPECT_EQ(busy().registerBusy, 0);

    // The "All Regs" tab then shows the pending bytes the partial read left.
    selectTab(kTabAll);
    for (int a = 0; a < kRegisterCount; ++a)
        EXPECT_EQ(panel.m_allPage->writeText(a), HexByteText(kept[a])) << a;
}

TEST_P(AddressFaultTest, AllRegsWriteStopsAtTheFailedAddress) {
    const int failed = GetParam();
    loadChip();
    TZ410Dlg &panel = openPanel();
    selectTab(kTabAll);
    const std::vector<uint8_t> before = panel.m_current;
    const uint8_t chipByteBefore = m_board.registerValue(static_cast<uint8_t>(failed));
    RegisterImage typed{};
    for (int a = 0; a < kRegisterCount; ++a) {
        typed[a] = static_cast<uint8_t>(0xA0 + a);
        panel.m_allPage->setWriteText(a, HexByteText(typed[a]));
    }
    failAddress(static_cast<uint8_t>(failed), 2);
    platform::MessageRecorder messages;
    click(panel.control(TZ410Dlg::kWriteButton));

    Frames expected;
    for (int a = 0; a <= failed; ++a)
        expected.push_back(WriteFrameOf(static_cast<uint8_t>(a), typed[a]));
    EXPECT_EQ(m_board.receivedFrames(), expected);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text,
              QStringLiteral("Write Register Address %1 Failed !").arg(HexByteText(failed)));
    EXPECT_EQ(messages.messages()[0].caption, "Error occured !");

    // Written registers moved into the current image, the refused one and the rest did not.
    for (int a = 0; a < kRegisterCount; ++a)
        EXPECT_EQ(panel.m_current[a], a < failed ? typed[a] : before[a]) << a;
    EXPECT_EQ(panel.m_pending, PanelImage(typed));
    EXPECT_EQ(m_board.registerValue(static_cast<uint8_t>(failed)), chipByteBefore);
    // No page was refreshed: the Read column and the lists still show the old chip values.
    for (int a = 0; a < kRegisterCount; ++a)
        EXPECT_EQ(panel.m_allPage->readText(a), HexByteText(before[a])) << a;
    EXPECT_EQ(comboText(TZ410Dlg::kPgaList), "8");
    EXPECT_EQ(comboText(TZ410Dlg::kRateList), "    100 SPS");
    EXPECT_EQ(busy().registerBusy, 0);
    EXPECT_TRUE(panel.control(TZ410Dlg::kWriteButton)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Addresses, AddressFaultTest, ::testing::Values(0x00, 0x04, 0x0A),
                         [](const auto &info) { return "Address" + std::to_string(info.param); });

TEST_F(PanelTest, OtherTabsWriteOnAfterARefusedAddress) {
    // Outside "All Regs" a refused register costs only its own step, without a message.
    TZ410Dlg &panel = openPanel();
    selectTab(kTabGpio);
    choose(panel.control(TZ410Dlg::kPgaList), 2);
    choose(panel.control(TZ410Dlg::kRateList), 8);
    const std::vector<uint8_t> before = panel.m_current;
    failAddress(kAdcon, 2);
    platform::MessageRecorder messages;
    click(panel.control(TZ410Dlg::kWriteButton));
    EXPECT_EQ(m_board.receivedFrames(),
              (Frames{WriteFrameOf(kIo, panel.m_pending[kIo]),
                      WriteFrameOf(kAdcon, panel.m_pending[kAdcon]), WriteFrameOf(kDrate, 0x82)}));
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(panel.m_current[kAdcon], before[kAdcon]);
    EXPECT_EQ(panel.m_current[kDrate], 0x82);
    EXPECT_EQ(panel.m_allPage->readText(kDrate), "82");
    EXPECT_EQ(panel.m_allPage->readText(kAdcon), HexByteText(before[kAdcon]));
}

} // namespace
