#include "serial_transport.h"

#include "frames.h"
#include "result_codes.h"

#include <QDeadlineTimer>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>
#include <chrono>
#include <thread>

QSerialPort *g_port = nullptr;

namespace {
QStringList &preferredPorts() {
    static QStringList paths;
    return paths;
}
QStringList &lastScanCandidates() {
    static QStringList names;
    return names;
}
int g_timeDivisor = 1;
bool g_scanSystemPorts = true;

int scaled(uint32_t ms) {
    return static_cast<int>(ms / static_cast<uint32_t>(g_timeDivisor));
}

int portErrorCode(QSerialPort::SerialPortError error) {
    return error == QSerialPort::TimeoutError ? result::kTimeout : result::kPortErrorBase + error;
}
} // namespace

void SetPreferredPorts(const QStringList &paths) {
    preferredPorts() = paths;
}

const QStringList &PreferredPorts() {
    return preferredPorts();
}

void SetSystemPortsScanned(bool scanned) {
    g_scanSystemPorts = scanned;
}

void SetTimeLimitDivisorForTests(int divisor) {
    g_timeDivisor = std::max(1, divisor);
}

QStringList OrderPortCandidates(const QStringList &preferred, const QList<ListedPort> &listed) {
    QStringList usb;
    QStringList other;
    for (const ListedPort &port : listed)
        (port.usb ? usb : other) << port.path;
    usb.sort();
    other.sort();
    QStringList names;
    const QStringList *groups[] = {&preferred, &usb, &other};
    for (const QStringList *group : groups) {
        for (const QString &name : *group) {
            if (!names.contains(name))
                names << name;
        }
    }
    if (names.size() > kMaxPortCandidates)
        names.resize(kMaxPortCandidates);
    return names;
}

QStringList PortCandidates() {
#ifdef Q_OS_WIN
    QStringList names;
    for (int n = 1; n <= kMaxPortCandidates; ++n)
        names << QStringLiteral("COM%1").arg(n);
    return names;
#else
    QList<ListedPort> listed;
    if (g_scanSystemPorts) {
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
            listed.append({info.systemLocation(), info.hasVendorIdentifier()});
    }
    return OrderPortCandidates(preferredPorts(), listed);
#endif
}

QString PortLabel(int number) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    const QStringList &names = lastScanCandidates();
    if (number < 1 || number > names.size())
        return QString();
    return names.at(number - 1);
#endif
}

bool PortIsOpen() {
    return g_port != nullptr;
}

bool OpenPortAt(const QString &name) {
    ClosePort();
    auto *port = new QSerialPort(name);
    // Opening sets QSerialPort's own defaults, flow control off among them: the bridge uses
    // none. Modem lines are left alone; a pty refuses to change them.
    const bool ok =
        port->open(QIODevice::ReadWrite) && port->setBaudRate(kBaudRate) &&
        port->setDataBits(QSerialPort::Data8) && port->setParity(QSerialPort::NoParity) &&
        port->setStopBits(QSerialPort::OneStop) && port->clear(QSerialPort::AllDirections);
    if (!ok) {
        delete port;
        return false;
    }
    g_port = port;
    return true;
}

bool OpenPort(int number) {
    const QStringList &names = lastScanCandidates();
    if (number < 1 || number > names.size()) {
        ClosePort();
        return false;
    }
    return OpenPortAt(names.at(number - 1));
}

void ClosePort() {
    delete g_port;
    g_port = nullptr;
}

int WriteFrame(const uint8_t frame[6], uint32_t timeoutMs) {
    if (!g_port)
        return result::kNoPort;
    g_port->clearError();
    // Late bytes of an earlier exchange must never be taken for this frame's reply.
    g_port->clear(QSerialPort::AllDirections);
    g_port->write(reinterpret_cast<const char *>(frame), 6);
    if (!g_port->waitForBytesWritten(scaled(timeoutMs)) && g_port->bytesToWrite() > 0)
        g_port->clear(QSerialPort::AllDirections);
    // A frame that did not go out shows as a failed read of its reply.
    g_port->clearError();
    return result::kOk;
}

int ReadBytes(uint8_t *buffer, uint32_t count) {
    uint32_t received = 0;
    return ReadAvailableWaiting(buffer, count, count, received, {});
}

int ReadAvailable(uint8_t *buffer, uint32_t minimum, uint32_t maximum, uint32_t &got) {
    return ReadAvailableWaiting(buffer, minimum, maximum, got, {});
}

int ReadBytesWaiting(uint8_t *buffer, uint32_t count, const ReadWaitHook &whileWaiting,
                     int gatherMs) {
    uint32_t received = 0;
    return ReadAvailableWaiting(buffer, count, count, received, whileWaiting, gatherMs);
}

int ReadAvailableWaiting(uint8_t *buffer, uint32_t minimum, uint32_t maximum, uint32_t &got,
                         const ReadWaitHook &whileWaiting, int gatherMs) {
    got = 0;
    if (!g_port)
        return result::kNoPort;
    g_port->clearError();
    const QDeadlineTimer deadline(scaled(kReplyTimeLimitMs));
    qint64 received = 0;
    int slice = whileWaiting ? whileWaiting() : 0;
    bool gathered = gatherMs <= 0;
    for (;;) {
        if (slice == kEndRead)
            return result::kAborted;
        // The hook may have closed the port (a detection); a replaced one is read on.
        if (!g_port)
            return result::kNoPort;
        const qint64 n =
            g_port->read(reinterpret_cast<char *>(buffer) + received, maximum - received);
        if (n > 0)
            received += n;
        got = static_cast<uint32_t>(received);
        if (received >= static_cast<qint64>(minimum))
            return result::kOk;
        if (n < 0 || deadline.hasExpired())
            break;
        int wait = static_cast<int>(deadline.remainingTime());
        if (whileWaiting)
            wait = std::min(wait, std::max(1, slice));
        if (!gathered) {
            gathered = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(gatherMs, wait)));
        }
        if (!g_port->waitForReadyRead(wait)) {
            const QSerialPort::SerialPortError error = g_port->error();
            if (error != QSerialPort::TimeoutError && error != QSerialPort::NoError) {
                g_port->clearError();
                return portErrorCode(error);
            }
            g_port->clearError();
            if (whileWaiting && !deadline.hasExpired())
                slice = whileWaiting();
        }
    }
    g_port->clear(QSerialPort::AllDirections);
    g_port->clearError();
    return received > 0 ? result::kShortRead : result::kTimeout;
}

bool WaitForBytes(int ms) {
    if (!g_port)
        return false;
    if (g_port->bytesAvailable() > 0)
        return true;
    const bool ready = g_port->waitForReadyRead(std::max(0, ms));
    // A time-out here is no failure: the next read reports what went wrong, if anything did.
    g_port->clearError();
    return ready;
}

int ScanPorts(const std::function<bool()> &probe) {
    ClosePort();
    lastScanCandidates() = PortCandidates();
    for (int n = 1; n <= lastScanCandidates().size(); ++n) {
        if (!OpenPort(n))
            continue;
        if (probe())
            return n;
        ClosePort();
    }
    return -1;
}
