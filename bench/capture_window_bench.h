#pragma once
// The capture window's figures at the board's pace (pellorin-bench-capture --wire):
//   - at the wire's pace with the counting signal, a message box held open 10 s and then the
//     window's thread held 10 s without any event: samples lost, the longest gap between items
//     on the board's side and as the program measured it, the dead time on both sides, and the
//     rate figure against the board's true rate after 10 s;
//   - at each chip's slowest rate (VXC5480 2.5 SPS, VXC5420 10 SPS in Command Mode), a message
//     box held open 5 s: how often the figures change, what was written while the box was
//     open, the file against the counting codes, the rate figure against the board's, and the
//     time from Stop to the file closed and to the window's end;
//   - the window's process CPU at the wire's pace, against a virtual board in a process of its
//     own (pellorin-evm-sim), so that only the window is counted.

void MeasureWindowCapture();
