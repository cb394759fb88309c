#pragma once
// The board's name on the system, as a USB bridge has under /dev/serial/by-id/: a symbolic link
// <private folder>/by-id/usb-Pellorin_Virtual_EVM_<SERIAL>-if00 to whichever pty serves it now.
// The folder is made for this board alone and goes with it. The link is absent while the
// board is unplugged, as the system removes it when a bridge goes.

#include <string>

namespace sim {

class StableLink {
  public:
    StableLink() = default;
    ~StableLink() { remove(); }
    StableLink(const StableLink &) = delete;
    StableLink &operator=(const StableLink &) = delete;

    // Makes the private folder and its by-id folder for this serial; false if they cannot be
    // made. The link's path is known from then on, the link itself not yet there.
    bool make(const std::string &serial);
    // Points the link at target, replacing any link there in one step.
    bool point(const std::string &target);
    // Removes the link, keeping its folder (the board is unplugged).
    void unpoint();
    // Removes the link and the folders.
    void remove();
    const std::string &path() const { return path_; }

  private:
    std::string folder_;
    std::string path_;
};

} // namespace sim
