#include "platform/colour_chooser.h"
#include "tests/support/modal_helper.h"

#include <QColorDialog>

#include <gtest/gtest.h>

TEST(ColourChooser, TestAnswerSeesTheInitialColour) {
    QColor seen;
    platform::SetColorChooserAnswer([&](const QColor &initial) -> std::optional<QColor> {
        seen = initial;
        return QColor(0, 0, 255);
    });
    EXPECT_EQ(platform::ChooseColor(nullptr, QColor(255, 0, 0)), QColor(0, 0, 255));
    EXPECT_EQ(seen, QColor(255, 0, 0));
    platform::SetColorChooserAnswer([](const QColor &) { return std::nullopt; });
    EXPECT_FALSE(platform::ChooseColor(nullptr, QColor(255, 0, 0)).has_value());
    platform::SetColorChooserAnswer({});
}

TEST(ColourChooser, RealChooserStartsFromTheCurrentColour) {
    for (bool confirm : {false, true}) {
        QColor shown;
        WhenModalShows([&](QWidget *modal) {
            auto *dialog = qobject_cast<QColorDialog *>(modal);
            ASSERT_NE(dialog, nullptr);
            shown = dialog->currentColor();
            if (confirm) {
                dialog->setCurrentColor(QColor(0, 160, 0));
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        const std::optional<QColor> chosen = platform::ChooseColor(nullptr, QColor(16, 16, 16));
        EXPECT_EQ(shown, QColor(16, 16, 16));
        if (confirm)
            EXPECT_EQ(chosen, QColor(0, 160, 0));
        else
            EXPECT_FALSE(chosen.has_value());
    }
}
