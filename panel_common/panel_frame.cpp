#include "panel_frame.h"

#include "panel_look.h"
#include "panel_page.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace panel_common {
namespace {

void KeepRoomWhenHidden(QWidget *widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

PanelFrame PanelFrame::Build(QWidget *panel) {
    PanelFrame frame;
    panel->setFont(PanelFont());
    // A dialog of its template's size with a static edge; the chart beside it stays clear.
    panel->setFixedSize(kPanelSize);
    panel->setAutoFillBackground(true);
    auto *edge = new QFrame(panel);
    edge->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    frame.edge = edge;
    auto *outer = new QVBoxLayout(panel);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame.edge);

    auto *layout = new QVBoxLayout(frame.edge);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    frame.lists = new QGridLayout;
    frame.lists->setHorizontalSpacing(10);
    frame.lists->setVerticalSpacing(4);
    frame.lists->setColumnStretch(2, 1);
    layout->addLayout(frame.lists);

    auto *tabsAndPages = new QVBoxLayout;
    tabsAndPages->setSpacing(0);
    frame.tabs = new QTabBar(frame.edge);
    frame.tabs->setExpanding(false);
    frame.tabs->setDrawBase(false);
    frame.tabs->setAccessibleName(QStringLiteral("Register pages"));
    MakeTabsCompact(frame.tabs);
    tabsAndPages->addWidget(frame.tabs);
    auto *pageFrame = new QFrame(frame.edge);
    pageFrame->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto *frameLayout = new QVBoxLayout(pageFrame);
    frameLayout->setContentsMargins(6, 6, 6, 6);
    frame.pageArea = new QWidget(pageFrame);
    frameLayout->addWidget(frame.pageArea);
    auto *pages = new QGridLayout(frame.pageArea);
    pages->setContentsMargins(0, 0, 0, 0);
    tabsAndPages->addWidget(pageFrame, 1);
    layout->addLayout(tabsAndPages, 1);

    auto *buttons = new QHBoxLayout;
    frame.writeButton = new QPushButton(QStringLiteral("Write"), frame.edge);
    frame.readButton = new QPushButton(QStringLiteral("Read"), frame.edge);
    buttons->addStretch(1);
    for (QPushButton *button : {frame.writeButton, frame.readButton}) {
        // A page may hide them without the pages growing into their place.
        KeepRoomWhenHidden(button);
        button->setMinimumWidth(80);
        button->setAccessibleName(button->text());
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    return frame;
}

QComboBox *PanelFrame::addList(const QString &label) {
    const int row = listRows++;
    auto *list = new QComboBox(edge);
    list->setMinimumContentsLength(9);
    auto *caption = new QLabel(label, edge);
    caption->setBuddy(list);
    list->setAccessibleName(label);
    lists->addWidget(caption, row, 0);
    lists->addWidget(list, row, 1);
    return list;
}

void PanelFrame::placePage(CPanelPage *page, uint8_t *current, uint8_t *pending) {
    static_cast<QGridLayout *>(pageArea->layout())->addWidget(page, 0, 0);
    // Every page keeps its room while hidden, so the panel's size does not follow the tab.
    KeepRoomWhenHidden(page);
    page->SetImages(current, pending);
}

} // namespace panel_common
