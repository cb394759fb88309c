#pragma once
// The one serial port to the board's bridge: discovery among the candidates, 115200 8N1,
// one 6-byte frame out, an exact number of bytes in under a time limit. Blocking, on the thread
// the port lives in: the GUI thread, or a PortWorker's while it streams.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

class QSerialPort;

// The open port, or null while none is open.
extern QSerialPort *g_port;

constexpr int kMaxPortCandidates = 256;
constexpr uint32_t kReplyTimeLimitMs = 3000;
constexpr uint32_t kWriteWaitMs = 3000;
constexpr uint32_t kRegisterReadWriteWaitMs = 6000;

// Ports named on the command line (--port PATH), tried before the ones the system lists.
void SetPreferredPorts(const QStringList &paths);
const QStringList &PreferredPorts();

// Whether a scan goes on to the system's serial devices after the preferred ports (it does
// unless told otherwise; a test rig with several boards names the one it means).
void SetSystemPortsScanned(bool scanned);

// A serial device as the system lists it.
struct ListedPort {
    QString path;
    bool usb = false; // it has a USB vendor id
};

// The order a scan tries ports in: the preferred paths as given, then the USB devices sorted by
// path, then the other listed devices sorted by path; each path once, at most
// kMaxPortCandidates in all. A board on a USB bridge is then found before any silent legacy
// port costs its full reply time.
QStringList OrderPortCandidates(const QStringList &preferred, const QList<ListedPort> &listed);

// The port names a scan walks, in order: COM1 to COM256 on Windows; elsewhere
// OrderPortCandidates of the preferred ports and the devices QSerialPortInfo lists.
QStringList PortCandidates();

// What the port label shows for candidate number n (1-based) of the last scan: "COM%d" on
// Windows, the device name elsewhere.
QString PortLabel(int number);

bool PortIsOpen();
bool OpenPort(int number);
// Opens the device at path, whether or not a scan lists it.
bool OpenPortAt(const QString &path);
void ClosePort();
int WriteFrame(const uint8_t frame[6], uint32_t timeoutMs);
int ReadBytes(uint8_t *buffer, uint32_t count);
// As ReadBytes for the first `minimum` bytes, then also whatever else has already arrived, up
// to `maximum` in all; received tells how many. A stream reader takes many items per call this
// way; on a failure, received still counts the bytes that did arrive.
int ReadAvailable(uint8_t *buffer, uint32_t minimum, uint32_t maximum, uint32_t &received);

// Called when a read starts and while it waits for bytes: may let the window's events run (the
// port may be closed or replaced meanwhile; the read notices) and returns how many
// milliseconds it wants to wait at most before it is called again, or kEndRead to give the
// read up at once.
using ReadWaitHook = std::function<int()>;
constexpr int kEndRead = -1;
// ReadBytes and ReadAvailable with the hook called whenever they wait; the time limit is the
// same. A read the hook gave up returns result::kAborted, with the bytes it had taken. gatherMs >
// 0: when the bytes in hand are too few, the read first rests that long (at most until the hook
// wants to run again), so that a stream trickling in at the wire's pace is taken in a few larger
// reads instead of a wake-up per item; the port's driver holds what arrives meanwhile.
int ReadBytesWaiting(uint8_t *buffer, uint32_t count, const ReadWaitHook &whileWaiting,
                     int gatherMs = 0);
int ReadAvailableWaiting(uint8_t *buffer, uint32_t minimum, uint32_t maximum, uint32_t &received,
                         const ReadWaitHook &whileWaiting, int gatherMs = 0);

// Waits at most ms for bytes to arrive; true when some are there to read. A stream reader that
// holds items already waits only as long as it may keep them.
bool WaitForBytes(int ms);

// Walks the candidates; returns the number (1-based) of the first whose probe succeeds with
// that port left open, or -1 when none does.
int ScanPorts(const std::function<bool()> &probe);

// Tests only: every time limit of the link is divided by this (1 in the program).
void SetTimeLimitDivisorForTests(int divisor);
