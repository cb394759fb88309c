// "Detect EVM" through the real serial transport against the virtual board on a pty.
#include "app/main_window_layout.h"
#include "app/panel_factory.h"
#include "app/pellorin_dlg.h"
#include "app/system_menu.h"
#include "link/protocol.h"
#include "link/serial_transport.h"
#include "panel_common/evm_dialog.h"
#include "platform/file_dialogs.h"
#include "platform/message_service.h"
#include "resources/main_window_ids.h"
#include "sim/virtual_board.h"
#include "tests/support/board_on_pty.h"
#include "tests/support/time_limits.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace mainwindow;

namespace {
// A stand-in panel: records what the host asks of it.
class FakePanel : public CEVMDialog {
  public:
    FakePanel(QWidget *parent, bool initResult) : CEVMDialog(parent), m_initResult(initResult) {
        setFixedSize(336, 420);
        edit = new QLineEdit(this);
    }
    QLineEdit *edit;
    bool OnInitDialog() override { return m_initResult; }
    int LoadProfile(const QString &path) override {
        loaded << path;
        return 0;
    }
    int SaveProfile(const QString &path) override {
        saved << path;
        return 0;
    }
    QStringList loaded;
    QStringList saved;

  private:
    bool m_initResult;
};

class DetectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetChipPanelFactoryForTests([this](int chipId, QWidget *parent) -> CEVMDialog * {
            requestedChips << chipId;
            if (!makePanels)
                return nullptr;
            return new FakePanel(parent, panelInitResult);
        });
    }
    void TearDown() override {
        SetChipPanelFactoryForTests({});
        platform::SetFileDialogAnswer({});
    }
    // Starts a board of the chip and makes its port the one the window tries.
    void startBoard(sim::Chip chip) {
        pty = std::make_unique<BoardOnPty>(chip);
        ASSERT_TRUE(pty->start());
        dlg.setPortSearch(pty->search());
    }
    // The window's board, its link open, or null.
    BoardSession *openBoard() const {
        BoardSession *board = dlg.currentBoard();
        return board && board->link().isOpen() ? board : nullptr;
    }
    sim::VirtualBoard *board() { return &pty->board(); }
    QString boardPort() const { return pty->port(); }
    FakePanel *panel() { return static_cast<FakePanel *>(dlg.m_pPanel.data()); }
    QString portLabel() { return qobject_cast<QLabel *>(dlg.control(kPortLabel))->text(); }
    QWidget *start() { return dlg.control(kStartAcquisition); }
    QComboBox *graphType() { return qobject_cast<QComboBox *>(dlg.control(kGraphType)); }
    QLineEdit *dataCount() { return qobject_cast<QLineEdit *>(dlg.control(kDataCount)); }

    platform::MessageRecorder messages;
    std::unique_ptr<BoardOnPty> pty;
    CPellorinDlg dlg;
    QList<int> requestedChips;
    bool makePanels = true;
    bool panelInitResult = true;
};
} // namespace

TEST_F(DetectionTest, NoBoardShowsNotFoundAndTellsTheUser) {
    const ExpectSilence silence; // whatever serial devices the machine lists
    dlg.setPortSearch({{QStringLiteral("/nonexistent/tty-pellorin")}, true});
    {
        const QSignalBlocker blocker(graphType());
        graphType()->setCurrentIndex(1);
    }
    dataCount()->setText(QStringLiteral("123"));
    qobject_cast<QLineEdit *>(dlg.control(kMinimum))->setText(QStringLiteral("-5"));

    QTest::mouseClick(dlg.control(kDetectEvm), Qt::LeftButton);

    EXPECT_EQ(portLabel(), QStringLiteral("Not Found"));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, QStringLiteral("Can't find VXC5480 !"));
    EXPECT_EQ(messages.messages()[0].caption, QStringLiteral("Error"));
    EXPECT_FALSE(start()->isEnabled());
    EXPECT_EQ(dlg.m_pPanel, nullptr);
    EXPECT_TRUE(requestedChips.isEmpty());
    EXPECT_EQ(dlg.currentBoard(), nullptr);
    // The chart view was reset, the graph type left alone.
    EXPECT_EQ(dataCount()->text(), QStringLiteral("45"));
    EXPECT_TRUE(qobject_cast<QLineEdit *>(dlg.control(kMinimum))->text().isEmpty());
    EXPECT_EQ(graphType()->currentIndex(), 1);
}

TEST_F(DetectionTest, BoardFoundShowsItsPortAndPlacesThePanel) {
    startBoard(sim::Chip::VXC5480);
    {
        const QSignalBlocker blocker(graphType());
        graphType()->setCurrentIndex(1);
    }
    QSignalSpy graphChanges(graphType(), &QComboBox::currentIndexChanged);

    dlg.OnDetectEvm();

    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join(u'|').toStdString();
    EXPECT_EQ(portLabel(), boardPort());
    ASSERT_NE(openBoard(), nullptr);
    EXPECT_EQ(dlg.chipId(), 1);
    EXPECT_EQ(openBoard()->link().chipId(), 1);
    EXPECT_EQ(openBoard()->link().path(), boardPort());
    EXPECT_EQ(requestedChips, QList<int>{1});
    ASSERT_NE(panel(), nullptr);
    EXPECT_EQ(panel()->parentWidget(), dlg.clientArea());
    EXPECT_EQ(panel()->pos(), kPanelOrigin);
    EXPECT_EQ(panel()->size(), QSize(336, 420));
    EXPECT_FALSE(panel()->isHidden());
    EXPECT_TRUE(start()->isEnabled());
    EXPECT_EQ(graphType()->currentIndex(), 0);
    EXPECT_EQ(graphChanges.count(), 0);
    // Tabbing from "Detect EVM" reaches the panel's controls before the data count.
    QWidget *next = dlg.control(kDetectEvm)->nextInFocusChain();
    while (next != panel()->edit && next != dataCount())
        next = next->nextInFocusChain();
    EXPECT_EQ(next, panel()->edit);

    // The handshake went out with chip id 1: commands 240 then 10.
    const auto frames = board()->receivedFrames();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[0], (std::array<uint8_t, 6>{0x55, 0x01, 0xF0, 0x00, 0x00, 0x0F}));
    EXPECT_EQ(frames[1], (std::array<uint8_t, 6>{0x55, 0x01, 0x0A, 0x00, 0x00, 0xF5}));
}

TEST_F(DetectionTest, TwoChannelModuleIsFoundOnATwoChannelBoard) {
    startBoard(sim::Chip::VXC5420);
    qobject_cast<QComboBox *>(dlg.control(kModuleList))->setCurrentIndex(1);

    dlg.OnDetectEvm();

    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join(u'|').toStdString();
    EXPECT_EQ(portLabel(), boardPort());
    EXPECT_EQ(dlg.chipId(), 2);
    ASSERT_NE(openBoard(), nullptr);
    EXPECT_EQ(openBoard()->link().chipId(), 2);
    EXPECT_EQ(openBoard()->link().chipName(), QStringLiteral("VXC5420"));
    EXPECT_EQ(requestedChips, QList<int>{2});
    const auto frames = board()->receivedFrames();
    ASSERT_FALSE(frames.empty());
    for (const auto &frame : frames)
        EXPECT_EQ(frame[1], 0x02);
}

TEST_F(DetectionTest, PanelThatFailsToStartIsNotShown) {
    startBoard(sim::Chip::VXC5480);
    panelInitResult = false;
    dlg.OnDetectEvm();
    EXPECT_EQ(portLabel(), boardPort());
    ASSERT_NE(panel(), nullptr);
    EXPECT_TRUE(panel()->isHidden());
    EXPECT_FALSE(start()->isEnabled());
    EXPECT_NE(openBoard(), nullptr);
}

TEST_F(DetectionTest, ChipWithoutPanelLeavesStartDisabled) {
    startBoard(sim::Chip::VXC5480);
    makePanels = false;
    dlg.OnDetectEvm();
    EXPECT_EQ(portLabel(), boardPort());
    EXPECT_EQ(dlg.m_pPanel, nullptr);
    EXPECT_FALSE(start()->isEnabled());
}

TEST_F(DetectionTest, DetectingTwiceLeavesExactlyOnePanel) {
    startBoard(sim::Chip::VXC5480);
    dlg.OnDetectEvm();
    QPointer<CEVMDialog> first = dlg.m_pPanel;
    ASSERT_NE(first, nullptr);

    dlg.OnDetectEvm();
    ASSERT_NE(dlg.m_pPanel, nullptr);
    EXPECT_NE(dlg.m_pPanel, first);
    EXPECT_EQ(requestedChips, (QList<int>{1, 1}));
    // The first link was closed before the search, so the same port answered again.
    EXPECT_EQ(portLabel(), boardPort());
    EXPECT_NE(openBoard(), nullptr);
    // The old panel is out of sight at once and freed once the event loop gets control.
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(dlg.clientArea()->findChildren<CEVMDialog *>().size(), 1);
}

TEST_F(DetectionTest, PanelMayStartADetectionFromItsOwnHandler) {
    startBoard(sim::Chip::VXC5480);
    dlg.OnDetectEvm();
    QPointer<CEVMDialog> first = dlg.m_pPanel;
    ASSERT_NE(first, nullptr);
    // A handler of the panel that ends up in "Detect EVM" (a message box pumps events) must
    // find its own object alive when it returns.
    bool handlerFinished = false;
    QObject::connect(first.data(), &QObject::objectNameChanged, first.data(), [&] {
        dlg.OnDetectEvm();
        first->setProperty("after", true);
        handlerFinished = true;
    });
    first->setObjectName(QStringLiteral("pressed"));
    EXPECT_TRUE(handlerFinished);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(first, nullptr);
}

TEST_F(DetectionTest, LostBoardIsNotFoundAndItsPanelRemoved) {
    startBoard(sim::Chip::VXC5480);
    dlg.OnDetectEvm();
    ASSERT_NE(dlg.m_pPanel, nullptr);
    sim::Faults silent;
    silent.silent = true;
    board()->setFaults(silent);
    const ExpectSilence silence;

    dlg.OnDetectEvm();
    EXPECT_EQ(portLabel(), QStringLiteral("Not Found"));
    EXPECT_EQ(dlg.m_pPanel, nullptr);
    EXPECT_EQ(dlg.currentBoard(), nullptr);
    EXPECT_FALSE(start()->isEnabled());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Can't find VXC5480 !")});
}

TEST_F(DetectionTest, ProfileCommandsReachThePanel) {
    startBoard(sim::Chip::VXC5480);
    dlg.OnDetectEvm();
    ASSERT_NE(panel(), nullptr);
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("board.ini"));
    QFile(existing).open(QIODevice::WriteOnly);
    QString answer;
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest &) { return answer; });

    // A cancelled or missing file reaches nothing and resets nothing.
    for (const QString &path :
         {QString(), dir.filePath(QStringLiteral("missing.ini")), dir.path()}) {
        answer = path;
        dataCount()->setText(QStringLiteral("99"));
        dlg.OnSysCommand(syscmd::kLoadProfile);
        EXPECT_TRUE(panel()->loaded.isEmpty()) << path.toStdString();
        EXPECT_EQ(dataCount()->text(), QStringLiteral("99"));
    }
    answer = existing;
    dlg.OnSysCommand(syscmd::kLoadProfile);
    EXPECT_EQ(panel()->loaded, QStringList{existing});
    EXPECT_EQ(dataCount()->text(), QStringLiteral("45"));

    answer = QString();
    dlg.OnSysCommand(syscmd::kSaveProfile);
    EXPECT_TRUE(panel()->saved.isEmpty());
    answer = dir.filePath(QStringLiteral("new.ini"));
    dlg.OnSysCommand(syscmd::kSaveProfile);
    EXPECT_EQ(panel()->saved, QStringList{answer});
    EXPECT_TRUE(messages.messages().empty());
}
