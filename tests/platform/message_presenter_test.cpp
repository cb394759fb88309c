#include "platform/message_presenter.h"
#include "tests/support/modal_helper.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>

#include <gtest/gtest.h>

using platform::Message;
using platform::MessageIcon;

TEST(MessagePresenter, BoxHasTextCaptionIconAndOneOkButton) {
    const std::pair<MessageIcon, QMessageBox::Icon> cases[] = {
        {MessageIcon::None, QMessageBox::NoIcon},
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::Warning, QMessageBox::Warning},
        {MessageIcon::Error, QMessageBox::Critical},
    };
    for (const auto &[icon, expected] : cases) {
        const auto box = platform::MakeMessageBox(
            Message{QStringLiteral("Can't find VXC5480 !"), QStringLiteral("Error"), icon});
        EXPECT_EQ(box->text(), QStringLiteral("Can't find VXC5480 !"));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Error"));
        EXPECT_EQ(box->icon(), expected);
        ASSERT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->standardButton(box->buttons().first()), QMessageBox::Ok);
    }
}

TEST(MessagePresenter, DetailShowsUnderTheTextInTheSameBox) {
    Message message{QStringLiteral("Save Profile Failed !"), QStringLiteral("Error !")};
    EXPECT_TRUE(platform::MakeMessageBox(message)->informativeText().isEmpty());
    message.detail = QStringLiteral("/p/x.ini: No such folder");
    const auto box = platform::MakeMessageBox(message);
    EXPECT_EQ(box->text(), QStringLiteral("Save Profile Failed !"));
    EXPECT_EQ(box->informativeText(), QStringLiteral("/p/x.ini: No such folder"));
    EXPECT_EQ(box->buttons().size(), 1);
}

TEST(MessagePresenter, BoxWithoutOwnerStillBlocksTheWholeApplication) {
    const auto box = platform::MakeMessageBox(
        Message{QStringLiteral("DUT Disconnect"), QStringLiteral("Error")});
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
}

TEST(MessagePresenter, BoxOfAChildControlBelongsToItsWindow) {
    QDialog window;
    QWidget child(&window);
    const auto box = platform::MakeMessageBox(
        Message{QStringLiteral("x"), QStringLiteral("Error !"), MessageIcon::None, &child});
    EXPECT_EQ(box->parentWidget(), &window);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
}

TEST(MessagePresenter, ShowMessageWaitsUntilTheUserAnswers) {
    platform::InstallMessagePresenter();
    QString shownText;
    Qt::WindowModality modality = Qt::NonModal;
    WhenModalShows([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        modality = box->windowModality();
        box->button(QMessageBox::Ok)->click();
    });
    platform::ShowMessage(nullptr, QStringLiteral("AP Command Timeout "), QStringLiteral("Error"));
    platform::SetMessagePresenter({});
    EXPECT_EQ(shownText, QStringLiteral("AP Command Timeout "));
    EXPECT_EQ(modality, Qt::ApplicationModal);
}

TEST(MessagePresenter, BoxShowsTheArrowDuringAWaitCursor) {
    platform::InstallMessagePresenter();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Qt::CursorShape shapeWhileShown = Qt::WaitCursor;
    WhenModalShows([&](QWidget *modal) {
        shapeWhileShown = QApplication::overrideCursor()->shape();
        qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Ok)->click();
    });
    platform::ShowMessage(nullptr, QStringLiteral("Firmware update succeeded !"),
                          QStringLiteral("Information"));
    platform::SetMessagePresenter({});
    EXPECT_EQ(shapeWhileShown, Qt::ArrowCursor);
    // The operation that set the wait cursor still has it.
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
