#pragma once
// The base of both chip panels. The main window knows a panel only through these operations.

#include "mux_layout.h"

#include "analysis/conversion_facts.h"

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

    // Builds the pages and reads the chip; false when the panel could not be made.
    virtual bool OnInitDialog() { return true; }

    virtual int LoadProfile(const QString &path);
    virtual int SaveProfile(const QString &path);
    // 0, or the failure code of the first register read that failed.
    virtual int RefreshFromChip();
    // What the chip's core makes of the panel's current register image (and, for a chip with
    // modes, the mode the board confirmed), at the reference given or the chip's default: for
    // the analysis, the capture and the scan. Zeros where the panel has no chip.
    virtual analysis::ConversionFacts CurrentFacts(std::optional<double> referenceVolts) const {
        return analysis::WithReference({}, referenceVolts);
    }
    // The chip's name and its registers as last read or confirmed, by address (what a capture
    // records); empty where the panel has none.
    virtual QString ChipName() const { return QString(); }
    virtual std::vector<uint8_t> CurrentRegisters() const { return {}; }
    // The chip's input multiplexer, for the input scan; null where the panel has none.
    virtual const panel_common::MuxLayout *InputMux() const { return nullptr; }

    QWidget *control(int id) const { return m_controls.control(id); }

  protected:
    void registerControl(int id, QWidget *widget) { m_controls.add(id, widget); }
    // Escape and Return must not close the panel or the window around it.
    void keyPressEvent(QKeyEvent *event) override;

  private:
    platform::ControlRegistry m_controls;
};
