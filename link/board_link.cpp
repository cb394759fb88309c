#include "board_link.h"

#include "chip_catalog.h"
#include "frames.h"
#include "result_codes.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {
std::atomic<int> g_defaultDivisor{1};
#ifdef NDEBUG
std::atomic<bool> g_threadChecks{false};
#else
std::atomic<bool> g_threadChecks{true};
#endif

// The ports open through a link of this process: a second link to one of them would fail
// the lock anyway, and a search skips them without costing a probe.
std::mutex g_openMutex;
QSet<QString> &openPaths() {
    static QSet<QString> paths;
    return paths;
}

QString canonical(const QString &path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

int portErrorCode(QSerialPort::SerialPortError error) {
    return error == QSerialPort::TimeoutError ? result::kTimeout : result::kPortErrorBase + error;
}

QString identityOf(const QString &path) {
    // A link in a by-id folder is a board's own name (the system's for a USB bridge, a
    // virtual board's for itself): it stays when the board comes back on another device.
    const QFileInfo given(path);
    if (given.isSymLink() && given.absoluteDir().dirName() == QLatin1String("by-id"))
        return given.absoluteFilePath();
    const QString device = canonical(path);
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &entry : byId.entryInfoList(QDir::System | QDir::Files)) {
        if (entry.canonicalFilePath() == device)
            return entry.absoluteFilePath();
    }
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (canonical(info.systemLocation()) == device && !info.serialNumber().isEmpty())
            return QStringLiteral("usb-serial:%1").arg(info.serialNumber());
    }
    return path;
}
} // namespace

bool PortOpenInThisProcess(const QString &path) {
    const std::lock_guard lock(g_openMutex);
    return openPaths().contains(canonical(path));
}

void SetTimeLimitDivisorForTests(int divisor) {
    g_defaultDivisor = std::max(1, divisor);
}

void SetLinkThreadChecks(bool on) {
    g_threadChecks = on;
}

namespace {
// Opens the device for a link, claiming it in this process's list; null (and why) when it
// cannot be opened or another link holds it.
std::unique_ptr<QSerialPort> openDevice(const QString &path, const QString &key, QString *problem) {
    {
        const std::lock_guard lock(g_openMutex);
        if (openPaths().contains(key)) {
            if (problem)
                *problem = QStringLiteral("open in this process already");
            return nullptr;
        }
        openPaths().insert(key);
    }
    auto port = std::make_unique<QSerialPort>(path);
    // Opening sets QSerialPort's own defaults, flow control off among them: the bridge uses
    // none. Modem lines are left alone; a pty refuses to change them.
    const bool ok =
        port->open(QIODevice::ReadWrite) && port->setBaudRate(kBaudRate) &&
        port->setDataBits(QSerialPort::Data8) && port->setParity(QSerialPort::NoParity) &&
        port->setStopBits(QSerialPort::OneStop) && port->clear(QSerialPort::AllDirections);
    if (!ok) {
        if (problem)
            *problem = port->errorString();
        const std::lock_guard lock(g_openMutex);
        openPaths().remove(key);
        return nullptr;
    }
    return port;
}
} // namespace

std::unique_ptr<BoardLink> BoardLink::open(const QString &path, QString *problem) {
    const QString key = canonical(path);
    std::unique_ptr<QSerialPort> port = openDevice(path, key, problem);
    if (!port)
        return nullptr;
    return std::unique_ptr<BoardLink>(new BoardLink(path, key, std::move(port)));
}

bool BoardLink::reopen(const QString &path, QString *problem) {
    checkThread("reopen");
    close();
    const QString key = canonical(path);
    std::unique_ptr<QSerialPort> port = openDevice(path, key, problem);
    if (!port)
        return false;
    m_port = std::move(port);
    m_path = path;
    m_openKey = key;
    m_identity.clear();
    return true;
}

QString BoardIdentityOf(const QString &path) {
    return identityOf(path);
}

BoardLink::BoardLink(QString path, QString openKey, std::unique_ptr<QSerialPort> port)
    : m_path(std::move(path)), m_openKey(std::move(openKey)), m_port(std::move(port)),
      m_owner(QThread::currentThread()), m_divisor(g_defaultDivisor) {}

const QString &BoardLink::identity() const {
    if (m_identity.isEmpty())
        m_identity = identityOf(m_path);
    return m_identity;
}

BoardLink::~BoardLink() {
    close();
}

void BoardLink::close() {
    if (!m_port)
        return;
    // Closing never waits for what the board still owes: the next open's first frame clears it.
    m_port.reset();
    m_owedBytes = 0;
    const std::lock_guard lock(g_openMutex);
    // The key it was opened under: a by-id link may point elsewhere by now, or nowhere.
    openPaths().remove(m_openKey);
}

QString BoardLink::chipName() const {
    const ChipCatalogEntry *chip = FindChip(m_chipId);
    return chip ? QString::fromLatin1(chip->name) : QString();
}

void BoardLink::setTimeLimitDivisor(int divisor) {
    m_divisor = std::max(1, divisor);
}

int BoardLink::scaled(uint32_t ms) const {
    return static_cast<int>(ms / static_cast<uint32_t>(m_divisor));
}

void BoardLink::tell(const platform::Message &message) const {
    if (m_sink)
        m_sink(message);
    else
        platform::ShowMessage(message.owner, message.text, message.caption, message.icon,
                              message.detail);
}

void BoardLink::moveToThread(QThread *thread) {
    checkThread("moveToThread");
    if (m_port)
        m_port->moveToThread(thread);
    m_owner = thread;
}

void BoardLink::release() {
    checkThread("release");
    if (m_port)
        m_port->moveToThread(nullptr);
    m_owner = nullptr;
}

void BoardLink::adopt() {
    if (m_owner)
        return;
    // An object of no thread may be pulled onto the calling one.
    if (m_port)
        m_port->moveToThread(QThread::currentThread());
    m_owner = QThread::currentThread();
}

bool BoardLink::ownedByCaller() const {
    return QThread::currentThread() == m_owner;
}

void BoardLink::checkThread(const char *method) const {
    if (!g_threadChecks.load(std::memory_order_relaxed) || ownedByCaller())
        return;
    std::fprintf(stderr, "BoardLink::%s on %s used from a thread that does not own it\n", method,
                 qPrintable(m_path));
    std::abort();
}

int BoardLink::writeFrame(const uint8_t frame[6], uint32_t timeoutMs) {
    checkThread("writeFrame");
    // What a stopped stream still owes comes first: its items must never be taken for this
    // frame's reply. A caller that wants to interrupt the wait takes it before.
    if (!m_port)
        return result::kNoPort;
    if (m_owedBytes > 0)
        takeOwed();
    m_port->clearError();
    // Late bytes of an earlier exchange must never be taken for this frame's reply.
    m_port->clear(QSerialPort::AllDirections);
    m_port->write(reinterpret_cast<const char *>(frame), 6);
    if (!m_port->waitForBytesWritten(scaled(timeoutMs)) && m_port->bytesToWrite() > 0)
        m_port->clear(QSerialPort::AllDirections);
    // A frame that did not go out shows as a failed read of its reply.
    m_port->clearError();
    return result::kOk;
}

int BoardLink::readBytes(uint8_t *buffer, uint32_t count) {
    uint32_t received = 0;
    return readAvailable(buffer, count, count, received);
}

int BoardLink::readAvailable(uint8_t *buffer, uint32_t minimum, uint32_t maximum, uint32_t &got,
                             const ReadWaitHook &whileWaiting, int gatherMs) {
    checkThread("readAvailable");
    got = 0;
    if (!m_port)
        return result::kNoPort;
    m_port->clearError();
    const QDeadlineTimer deadline(scaled(kReplyTimeLimitMs));
    qint64 received = 0;
    int slice = whileWaiting ? whileWaiting() : 0;
    bool gathered = gatherMs <= 0;
    for (;;) {
        if (slice == kEndRead)
            return result::kAborted;
        const qint64 n =
            m_port->read(reinterpret_cast<char *>(buffer) + received, maximum - received);
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
        if (!m_port->waitForReadyRead(wait)) {
            const QSerialPort::SerialPortError error = m_port->error();
            if (error != QSerialPort::TimeoutError && error != QSerialPort::NoError) {
                m_port->clearError();
                return portErrorCode(error);
            }
            m_port->clearError();
            if (whileWaiting && !deadline.hasExpired())
                slice = whileWaiting();
        }
    }
    m_port->clear(QSerialPort::AllDirections);
    m_port->clearError();
    return received > 0 ? result::kShortRead : result::kTimeout;
}

bool BoardLink::waitForBytes(int ms) {
    checkThread("waitForBytes");
    if (!m_port)
        return false;
    if (m_port->bytesAvailable() > 0)
        return true;
    const bool ready = m_port->waitForReadyRead(std::max(0, ms));
    // A time-out here is no failure: the next read reports what went wrong, if anything did.
    m_port->clearError();
    return ready;
}

int64_t BoardLink::bytesWaiting() const {
    checkThread("bytesWaiting");
    return m_port ? m_port->bytesAvailable() : 0;
}

bool BoardLink::takeOwed(const ReadWaitHook &whileWaiting) {
    std::array<uint8_t, 4096> buffer{};
    while (m_owedBytes > 0) {
        const uint32_t want = static_cast<uint32_t>(
            std::min<int64_t>(static_cast<int64_t>(buffer.size()), m_owedBytes));
        uint32_t got = 0;
        const int status = readAvailable(buffer.data(), 1, want, got, whileWaiting);
        m_owedBytes -= got;
        if (status == result::kAborted)
            return false;
        if (status != result::kOk)
            m_owedBytes = 0; // silence or a lost line: nothing more comes
    }
    return true;
}
