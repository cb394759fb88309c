#pragma once
// The frame both panel hosts are built in: the template's size with a static edge, a grid of
// labelled lists at the top, the tab bar over the page area, and "Write" and "Read" below.

#include <QString>

#include <cstdint>

class CPanelPage;
class QComboBox;
class QGridLayout;
class QPushButton;
class QTabBar;
class QWidget;

namespace panel_common {

struct PanelFrame {
    QWidget *edge = nullptr;
    QGridLayout *lists = nullptr;
    int listRows = 0;
    QTabBar *tabs = nullptr;
    QWidget *pageArea = nullptr;
    QPushButton *writeButton = nullptr;
    QPushButton *readButton = nullptr;

    // Lays the frame out on panel, which takes the panel font and its fixed size.
    static PanelFrame Build(QWidget *panel);

    // A drop-down list in the next row of the list grid, with its label as buddy and name.
    QComboBox *addList(const QString &label);

    // Puts page into the page area, where every page takes the same place and keeps its room
    // while hidden, and points it at the host's images.
    void placePage(CPanelPage *page, uint8_t *current, uint8_t *pending);
};

} // namespace panel_common
