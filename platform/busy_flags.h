#pragma once
// A board's busy flags, 1 while their operation runs. Message boxes and the acquisition's
// event pump let other handlers run in the middle of an operation; these keep a second one
// from starting then. Each board has its own: an operation on one never refuses another.

#include <initializer_list>

struct BusyFlags {
    // Set by the acquisition, the capture and the scan; no panel handler talks to the chip
    // while it is 1.
    int acquiring = 0;
    // Set by the register Write and Read of either panel host and by a panel's first read.
    int registerBusy = 0;
    // Set by the calibration buttons of the 8-channel panel.
    int calibrating = 0;

    // True while any flag is set: a board operation (an acquisition, a capture, an input scan,
    // a register transfer or a calibration) runs.
    bool any() const { return acquiring || registerBusy || calibrating; }
};

// Holds a busy flag for as long as it lives, so that every way out of an operation clears it.
// It takes the flag only when neither the flag nor any of the flags the operation must keep
// away from is set; otherwise it holds nothing and the operation is refused:
//
//     BusyGuard guard(flags.registerBusy, {&flags.acquiring});
//     if (!guard)
//         return;
class BusyGuard {
  public:
    explicit BusyGuard(int &flag, std::initializer_list<const int *> refusedWhile = {});
    ~BusyGuard();
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

    // True when the guard holds its flag: the operation may run.
    bool held() const { return m_flag != nullptr; }
    explicit operator bool() const { return held(); }

  private:
    int *m_flag = nullptr;
};
