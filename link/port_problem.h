#pragma once
// Why a serial port named by the user could not be used, in words they can act on. Asked only
// after a scan found no board there, so the answer may cost an open and a close. No widgets.

#include <QString>

// Empty when the port at path opens; otherwise the reason: no such device, not a serial
// device, permission denied (with the way to get access), busy (another program has it, or
// a lock file is left by a run that has ended), or the lock file cannot be written (why).
QString PortOpenProblem(const QString &path);
