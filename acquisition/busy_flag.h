#pragma once
// 1 while an acquisition runs. The panels' handlers that talk to the chip test it, so that no
// register exchange slips in between two items of the acquisition's stream.

extern int g_acquiring;
