// Panel start, Read, RefreshFromChip and the failures of a read at a chosen address.

#include "panel_fixture.h"

namespace {

using namespace tz420test;
using namespace vxc5420;

class Panel2StartTest : public Panel2Test {};

TEST_F(Panel2StartTest, StartReadsSixRegistersAndSendsNoMode) {
    loadChip({0x02, 0x11, 0x42, 0x5A, 0x31, 0x02});
    platform::MessageRecorder messages;
    makePanel();
    ASSERT_TRUE(m_panel->OnInitDialog());
    TZ420Dlg &panel = *m_panel;

    EXPECT_EQ(m_board.receivedFrames(), ReadAllFrames()) << "six reads, no set-mode command";
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(panel.m_current, PanelImage({0x02, 0x11, 0x42, 0x5A, 0x31, 0x02}));
    EXPECT_EQ(panel.m_pending, panel.m_current);
    EXPECT_EQ(panel.m_mode, 1);
    EXPECT_EQ(panel.m_appliedMode, 1);
    EXPECT_EQ(list(TZ420Dlg::kModeList)->currentText(), "PGA 128 / 10 SPS ");
    // CR1 0x5A: gain code 5, rate code 2, shown although the lists are disabled.
    EXPECT_EQ(list(TZ420Dlg::kPgaList)->currentText(), "32");
    EXPECT_EQ(list(TZ420Dlg::kRateList)->currentText(), "    40 SPS");
    EXPECT_FALSE(list(TZ420Dlg::kPgaList)->isEnabled());
    EXPECT_FALSE(list(TZ420Dlg::kRateList)->isEnabled());
    // MUX 0x11: AIN+ and AIN- both on AIN1; CR0 bit 1: buffer on.
    EXPECT_EQ(panel.m_muxPage->m_ainPosId, 1079);
    EXPECT_EQ(panel.m_muxPage->m_ainNegId, 1088);
    EXPECT_TRUE(static_cast<QAbstractButton *>(panel.m_muxPage->control(1134))->isChecked());
    const char *const shown[] = {"02", "11", "42", "5A", "31", "02"};
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(panel.m_allPage->readText(row), shown[row]) << row;
        EXPECT_EQ(panel.m_allPage->writeText(row), shown[row]) << row;
    }
    EXPECT_TRUE(panel.control(TZ420Dlg::kReadButton)->isEnabled());
    EXPECT_EQ(busy().registerBusy, 0);
    EXPECT_FALSE(panel.m_allPage->isVisibleTo(&panel));
}

TEST_F(Panel2StartTest, ListsHoldTheirTextsExactly) {
    TZ420Dlg &panel = openPanel();
    auto texts = [&panel](int id) {
        QStringList items;
        auto *combo = static_cast<QComboBox *>(panel.control(id));
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i) + u'=' + QString::number(combo->itemData(i).toInt());
        return items.join(u'|');
    };
    EXPECT_EQ(texts(TZ420Dlg::kModeList), "PGA 128 / 10 SPS =1|PGA 1 / 40 SPS (DVDD-AVDD)=2|"
                                          "PGA 128 / 40 SPS=3|Command Mode=4");
    EXPECT_EQ(texts(TZ420Dlg::kPgaList), "1=0|2=1|4=2|8=3|16=4|32=5|64=6|128=7");
    EXPECT_EQ(texts(TZ420Dlg::kRateList), "    10 SPS=0|    20 SPS=1|    40 SPS=2|    80 SPS=3|"
                                          "  160 SPS=4|  320 SPS=5|  640 SPS=6|1280 SPS=7");
}

TEST_F(Panel2StartTest, FailedFirstReadLeavesThePagesAtTheirStart) {
    failAddress(kCr0, 2);
    platform::MessageRecorder messages;
    makePanel();
    ASSERT_TRUE(m_panel->OnInitDialog());
    TZ420Dlg &panel = *m_panel;
    EXPECT_EQ(m_board.receivedFrames(), (Frames{ReadFrameOf(0), ReadFrameOf(1), ReadFrameOf(2)}));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Read Register Address 02 Failed !");
    EXPECT_EQ(messages.messages()[0].caption, "Error occured !");
    // STA and MUX were read; nothing is shown from them.
    EXPECT_EQ(panel.m_current[kMux], 0x10);
    EXPECT_EQ(panel.m_current[kCr1], 0x00);
    EXPECT_EQ(panel.m_pending, panel.m_current);
    EXPECT_EQ(panel.m_muxPage->m_ainPosId, 1079);
    EXPECT_EQ(panel.m_muxPage->m_ainNegId, 1087);
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(panel.m_allPage->writeText(row), "00") << row;
        EXPECT_EQ(panel.m_allPage->readText(row), "") << row;
    }
    EXPECT_EQ(list(TZ420Dlg::kPgaList)->currentIndex(), 0);
}

TEST_F(Panel2StartTest, ReadFailingAtEachAddressNamesIt) {
    TZ420Dlg &panel = openPanel();
    loadChip({0x02, 0x01, 0x40, 0x77, 0x30, 0x00});
    for (uint8_t failing = 0; failing < 6; ++failing) {
        SCOPED_TRACE(failing);
        failAddress(failing, 1);
        m_board.clearReceivedFrames();
        const std::vector<uint8_t> before = panel.m_current;
        platform::MessageRecorder messages;
        read();
        EXPECT_EQ(messages.texts(),
                  QStringList{QStringLiteral("Read Register Address 0%1 Failed !").arg(failing)});
        Frames expected;
        for (uint8_t a = 0; a <= failing; ++a)
            expected.push_back(ReadFrameOf(a));
        EXPECT_EQ(m_board.receivedFrames(), expected);
        for (uint8_t a = 0; a < failing; ++a)
            EXPECT_EQ(panel.m_current[a], m_board.registerValue(a));
        for (uint8_t a = failing + 1; a < 6; ++a)
            EXPECT_EQ(panel.m_current[a], before[a]);
        EXPECT_EQ(busy().registerBusy, 0);
        EXPECT_TRUE(panel.control(TZ420Dlg::kReadButton)->isEnabled());
    }
}

TEST_F(Panel2StartTest, ReadAndRefreshFromChipShowTheChipAndKeepPending) {
    TZ420Dlg &panel = openPanel();
    choose(list(TZ420Dlg::kModeList), 3);
    choose(list(TZ420Dlg::kPgaList), 6);
    const uint8_t pendingCr1 = panel.m_pending[kCr1];
    loadChip({0x02, 0x01, 0x42, 0x35, 0x30, 0x00});
    m_board.clearReceivedFrames();
    read();
    EXPECT_EQ(m_board.receivedFrames(), ReadAllFrames());
    EXPECT_EQ(list(TZ420Dlg::kPgaList)->currentText(), "8");
    EXPECT_EQ(list(TZ420Dlg::kRateList)->currentText(), "  320 SPS");
    EXPECT_EQ(panel.m_muxPage->m_ainPosId, 1078);
    EXPECT_EQ(panel.m_muxPage->m_ainNegId, 1088);
    EXPECT_EQ(panel.m_pending[kCr1], pendingCr1);

    m_board.clearReceivedFrames();
    m_board.setRegisterValue(kCr1, 0x77);
    busy().acquiring = 1; // as during an acquisition, which calls it
    EXPECT_EQ(panel.RefreshFromChip(), 0);
    busy().acquiring = 0;
    EXPECT_EQ(m_board.receivedFrames(), ReadAllFrames());
    EXPECT_EQ(list(TZ420Dlg::kRateList)->currentText(), "1280 SPS");
    EXPECT_EQ(panel.m_allPage->readText(kCr1), "77");
    EXPECT_EQ(panel.m_pending[kCr1], pendingCr1);
}

TEST_F(Panel2StartTest, RefreshFromChipReturnsTheFailedReadsStatus) {
    TZ420Dlg &panel = openPanel();
    failAddress(kCr3, 2);
    platform::MessageRecorder messages;
    EXPECT_EQ(panel.RefreshFromChip(), 13);
    EXPECT_EQ(messages.texts(), QStringList{"Read Register Address 05 Failed !"});
}

TEST_F(Panel2StartTest, WriteAndReadDoNothingWhileAnotherTransferRuns) {
    TZ420Dlg &panel = openPanel();
    for (int *flag : {&busy().acquiring, &busy().registerBusy}) {
        *flag = 1;
        read();
        write();
        selectTab(TZ420Dlg::kTabAll);
        write();
        selectTab(TZ420Dlg::kTabMux);
        *flag = 0;
    }
    EXPECT_TRUE(m_board.receivedFrames().empty());
    EXPECT_TRUE(panel.control(TZ420Dlg::kWriteButton)->isEnabled());
}

} // namespace
