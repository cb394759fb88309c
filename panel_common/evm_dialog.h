#pragma once
// The base of both chip panels. The main window knows a panel only through these operations.

#include "chips/common/mux_layout.h"
#include "panel_board.h"

#include "conversion/conversion_facts.h"

#include "platform/control_registry.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

class CEVMDialog : public QWidget {
    Q_OBJECT
  public:
    explicit CEVMDialog(QWidget *parent = nullptr);
    ~CEVMDialog() override;

    // The board the panel drives; given before OnInitDialog. A panel keeps it until it goes.
    void setBoard(std::shared_ptr<BoardSession> session) { m_board.setSession(std::move(session)); }
    PanelBoard &board() { return m_board; }
    const PanelBoard &board() const { return m_board; }

    // Builds the pages and reads the chip; false when the panel could not be made.
    virtual bool OnInitDialog() { return true; }

    virtual int LoadProfile(const QString &path);
    virtual int SaveProfile(const QString &path);
    // 0, or the failure code of the first register read that failed.
    virtual int RefreshFromChip();

    struct Reread {
        int status = 0;              // as RefreshFromChip's
        bool choicesDropped = false; // unwritten choices were given up for the chip's state
    };
    // After a stream that may have moved registers behind the panel's back and put them back
    // (the input scan), or before one (the capture): reads the chip. Where it holds what the
    // panel last knew, the panel stays as it stands, unwritten choices included, so that what
    // it shows is still what "Write" sends. Where it does not, the panel shows the chip and
    // gives its unwritten choices up rather than send them later under another display.
    virtual Reread RereadChip() { return {}; }
    // What the chip's core makes of the panel's current register image (and, for a chip with
    // modes, the mode the board confirmed), at the reference given or the chip's default: for
    // the analysis, the capture and the scan. Zeros where the panel has no chip.
    virtual conversion::ConversionFacts CurrentFacts(std::optional<double> referenceVolts) const {
        return conversion::WithReference({}, referenceVolts);
    }
    // The chip's name and its registers as last read or confirmed, by address (what a capture
    // records); empty where the panel has none.
    virtual QString ChipName() const { return QString(); }
    virtual std::vector<uint8_t> CurrentRegisters() const { return {}; }
    // The chip's input multiplexer, for the input scan; null where the panel has none.
    virtual const panel_common::MuxLayout *InputMux() const { return nullptr; }

    QWidget *control(int id) const { return m_controls.control(id); }

  signals:
    // The chip's registers or mode as the panel knows them changed (a read, a write, a mode
    // set): what windows show of the chip's facts may be out of date.
    void chipStateChanged();

  protected:
    void registerControl(int id, QWidget *widget) { m_controls.add(id, widget); }
    // Escape and Return must not close the panel or the window around it.
    void keyPressEvent(QKeyEvent *event) override;

  private:
    platform::ControlRegistry m_controls;
    PanelBoard m_board;
};
