#pragma once
// One serial link to one board's bridge: its own port (115200 8N1), the chip id its frames
// carry, its time limits, where its messages go, and what the board still owes it of a request
// that was stopped. Blocking, on the thread that owns the link: the thread that opened it, or
// the one it was handed to (moveToThread). Many links may be open in one process, each used
// from its own thread; in debug and test builds a link used from another thread aborts,
// naming the method.

#include "serial_transport.h"

#include "platform/message_service.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QSerialPort;
class QThread;

class BoardLink {
  public:
    // Opens the device at path; null (and why in *problem, when given) when it cannot be
    // opened, or is open through another link of this process.
    static std::unique_ptr<BoardLink> open(const QString &path, QString *problem = nullptr);
    ~BoardLink();
    BoardLink(const BoardLink &) = delete;
    BoardLink &operator=(const BoardLink &) = delete;

    // Closes the port at once, whatever the board still owes; every exchange after it fails as
    // on a port that is not open (result::kNoPort).
    void close();
    bool isOpen() const { return m_port != nullptr; }
    // Closes the port and opens the device at path in its place (a board that came back after
    // its USB bridge reset): chip id, time limits, sink and thread stay the link's. False (and
    // why in *problem) when it cannot be opened; the link is closed then.
    bool reopen(const QString &path, QString *problem = nullptr);

    const QString &path() const { return m_path; }
    // What tells this board from another whatever port it comes back on: the path itself when
    // it is a symbolic link in a folder named by-id (as under /dev/serial/by-id/), else the
    // device's /dev/serial/by-id/ link or its USB serial number when the system has them, else
    // the path.
    // Found on first asking: a detection's probes of other ports never pay for it.
    const QString &identity() const;

    // The chip the frames are for (byte 1 of every frame) and its catalogue name.
    int chipId() const { return m_chipId; }
    QString chipName() const;
    void setChipId(int chipId) { m_chipId = chipId; }

    // Every time limit of this link is divided by divisor (tests that expect silence).
    void setTimeLimitDivisor(int divisor);

    // Where the messages of this link's exchanges go; without a sink they are shown as the
    // platform shows every message.
    void setMessageSink(platform::MessageHandler sink) { m_sink = std::move(sink); }
    void tell(const platform::Message &message) const;

    // Hands the port to thread: from then on only that thread may use the link. Called on the
    // owning thread.
    void moveToThread(QThread *thread);
    // Lets go of the port's thread, so that another thread may adopt() the link: a link opened
    // on one thread for another that is not known yet. Called on the owning thread.
    void release();
    // The calling thread takes a released link; a link that is owned is left as it is.
    void adopt();
    // True when the calling thread owns the link.
    bool ownedByCaller() const;

    // Sends a 6-byte frame after taking what is owed and clearing both directions of the port;
    // 0 or a failure code.
    int writeFrame(const uint8_t frame[6], uint32_t timeoutMs);
    int readBytes(uint8_t *buffer, uint32_t count);
    // As readBytes for the first `minimum` bytes, then also whatever else has already arrived,
    // up to `maximum` in all. See ReadWaitHook for whileWaiting and gatherMs. On a failure,
    // received still counts the bytes that did arrive.
    int readAvailable(uint8_t *buffer, uint32_t minimum, uint32_t maximum, uint32_t &received,
                      const ReadWaitHook &whileWaiting = {}, int gatherMs = 0);
    // Waits at most ms for bytes to arrive; true when some are there to read.
    bool waitForBytes(int ms);
    // Bytes arrived that nobody has read yet.
    int64_t bytesWaiting() const;

    // What the board still sends of a request nobody reads to its end (a stopped stream), exact
    // to the byte. The board cannot be told to stop a request.
    int64_t owedBytes() const { return m_owedBytes; }
    void setOwedBytes(int64_t bytes) { m_owedBytes = bytes < 0 ? 0 : bytes; }
    // Reads what is owed off the line; returns false when whileWaiting gave the read up before
    // the end (the rest is still owed). Silence or a lost line forgives the debt: the board
    // sends no more.
    bool takeOwed(const ReadWaitHook &whileWaiting = {});

  private:
    BoardLink(QString path, QString openKey, std::unique_ptr<QSerialPort> port);
    void checkThread(const char *method) const;
    int scaled(uint32_t ms) const;

    QString m_path;
    QString m_openKey; // the device it was open under, for PortOpenInThisProcess
    mutable QString m_identity;
    std::unique_ptr<QSerialPort> m_port;
    QThread *m_owner = nullptr;
    int m_chipId = 0;
    int m_divisor = 1;
    int64_t m_owedBytes = 0;
    platform::MessageHandler m_sink;
};

// The identity a link opened at path would have (see BoardLink::identity), found now.
QString BoardIdentityOf(const QString &path);

// True while a link of this process holds the device at path.
bool PortOpenInThisProcess(const QString &path);

// Tests only: the time-limit divisor every link opened from now on starts with (1 in the
// program).
void SetTimeLimitDivisorForTests(int divisor);

// True where a link used from a thread that does not own it aborts: debug builds, and any
// process that turned it on (the test programs do).
void SetLinkThreadChecks(bool on);
