#pragma once
// Process-wide busy flags, 1 while their operation runs. Message boxes and the acquisition's
// event pump let other handlers run in the middle of an operation; these keep a second one
// from starting then.

// Set by the acquisition; no panel handler talks to the chip while it is 1.
extern int g_acquiring;
// Set by the register Write and Read of either panel host and by a panel's first read.
extern int g_registerBusy;
// Set by the calibration buttons of the 8-channel panel.
extern int g_calibrating;
