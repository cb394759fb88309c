#include "sim/pty_port.h"

#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

bool PtyPort::open() {
    close();
    // Close-on-exec: a program started from the board's process (a test running the command
    // line) must not hold the master too, or the board's hang-up never reaches the reader.
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::array<char, 256> name{};
    if (grantpt(fd) != 0 || unlockpt(fd) != 0 || ptsname_r(fd, name.data(), name.size()) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    slavePath_ = name.data();
    makeRaw();
    monitorFd_ = ::open(slavePath_.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    return true;
}

void PtyPort::close() {
    if (fd_ >= 0)
        ::close(fd_);
    if (monitorFd_ >= 0)
        ::close(monitorFd_);
    fd_ = -1;
    monitorFd_ = -1;
}

int PtyPort::unreadBytes() const {
    int count = 0;
    if (monitorFd_ < 0 || ioctl(monitorFd_, TIOCINQ, &count) != 0)
        return 0;
    return count;
}

void PtyPort::makeRaw() {
    if (fd_ < 0)
        return;
    termios settings{};
    if (tcgetattr(fd_, &settings) != 0)
        return;
    cfmakeraw(&settings);
    cfsetispeed(&settings, B115200);
    cfsetospeed(&settings, B115200);
    tcsetattr(fd_, TCSANOW, &settings);
}

} // namespace sim
