#pragma once
// The master side of a pseudo-terminal: non-blocking, raw (no echo, no CR/LF translation), so
// the slave looks like a serial line to whoever opens it. The port keeps a read-only handle of
// its own on the slave, never read, only to learn how much the other side has not read yet.

#include <string>

namespace sim {

class PtyPort {
  public:
    PtyPort() = default;
    ~PtyPort() { close(); }
    PtyPort(const PtyPort &) = delete;
    PtyPort &operator=(const PtyPort &) = delete;

    bool open();
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const std::string &slavePath() const { return slavePath_; }
    // Raw mode again; the line settings may have been left changed by the last user.
    void makeRaw();
    // Bytes sent that the slave's user has not read yet; 0 when unknown.
    int unreadBytes() const;

  private:
    int fd_ = -1;
    int monitorFd_ = -1;
    std::string slavePath_;
};

} // namespace sim
