#pragma once
// What every page of a chip panel shares: its controls under their ids, and two pointers into
// the host's register images at the page's first register.

#include "panel_board.h"
#include "platform/control_registry.h"

#include <QGridLayout>
#include <QWidget>

#include <cstdint>

class CPanelPage : public QWidget {
    Q_OBJECT
  public:
    explicit CPanelPage(QWidget *parent = nullptr) : QWidget(parent) {}

    QWidget *control(int id) const { return m_controls.control(id); }
    template <typename T> T *controlAs(int id) const { return m_controls.as<T>(id); }

    void SetImages(uint8_t *current, uint8_t *pending) {
        m_pCurrent = current;
        m_pPending = pending;
    }
    // The host's board; a page not placed yet has none and fails its exchanges.
    void SetBoard(PanelBoard *board) { m_board = board; }
    PanelBoard &board() { return m_board ? *m_board : m_unplaced; }

    // The host's images at this page's register; null until the host places the page.
    uint8_t *m_pCurrent = nullptr;
    uint8_t *m_pPending = nullptr;

  protected:
    // The page's grid, flush with the page area.
    QGridLayout *makeGrid(int horizontalSpacing, int verticalSpacing) {
        auto *grid = new QGridLayout(this);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setHorizontalSpacing(horizontalSpacing);
        grid->setVerticalSpacing(verticalSpacing);
        return grid;
    }
    template <typename T> T *add(int id, T *widget) {
        m_controls.add(id, widget);
        return widget;
    }

  private:
    platform::ControlRegistry m_controls;
    PanelBoard *m_board = nullptr;
    PanelBoard m_unplaced;
};
