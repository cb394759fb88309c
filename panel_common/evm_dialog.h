#pragma once
// The base of both chip panels. The main window knows a panel only through these operations.

#include "conversion_scale.h"
#include "mux_layout.h"

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
    // Reference, gain and data rate as the panel's current register image has them, for the
    // noise analysis; zeros where the panel cannot tell.
    virtual ConversionScale CurrentScale() const { return {}; }
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
