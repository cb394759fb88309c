#pragma once
// The serial ports a board may be on and the figures every link keeps to: the candidates a
// search walks, in order, and the time limits of an exchange. The link itself is BoardLink
// (board_link.h).

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

constexpr int kMaxPortCandidates = 256;
constexpr uint32_t kReplyTimeLimitMs = 3000;
constexpr uint32_t kWriteWaitMs = 3000;
constexpr uint32_t kRegisterReadWriteWaitMs = 6000;

// Where a search for boards looks: the ports the user named (--port PATH) first, then, unless
// told otherwise, the system's serial devices (a test rig with several boards names the one
// it means).
struct PortSearch {
    QStringList preferred;
    bool scanSystem = true;
};

// A serial device as the system lists it.
struct ListedPort {
    QString path;
    bool usb = false; // it has a USB vendor id
};

// The order a search tries ports in: the preferred paths as given, then the USB devices sorted
// by path, then the other listed devices sorted by path; each path once, at most
// kMaxPortCandidates in all. A board on a USB bridge is then found before any silent legacy
// port costs its full reply time.
QStringList OrderPortCandidates(const QStringList &preferred, const QList<ListedPort> &listed);

// The port names a search walks, in order: COM1 to COM256 on Windows; elsewhere
// OrderPortCandidates of the preferred ports and the devices QSerialPortInfo lists.
QStringList PortCandidates(const PortSearch &search);

// What the port label shows for a port: "COM%d" on Windows, the device name elsewhere.
QString PortLabelOf(const QString &path);

// Called when a read starts and while it waits for bytes: may let the window's events run and
// returns how many milliseconds it wants to wait at most before it is called again, or kEndRead
// to give the read up at once. A read given up returns result::kAborted, with the bytes it had
// taken. gatherMs > 0: when the bytes in hand are too few, the read first rests that long (at
// most until the hook wants to run again), so that a stream trickling in at the wire's pace is
// taken in a few larger reads instead of a wake-up per item; the port's driver holds what
// arrives meanwhile.
using ReadWaitHook = std::function<int()>;
constexpr int kEndRead = -1;
