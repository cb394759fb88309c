#include "sim/stable_link.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include <sys/stat.h>

namespace sim {

bool StableLink::make(const std::string &serial) {
    remove();
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pellorin-evm-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()))
        return false;
    folder_ = name.data();
    if (mkdir((folder_ + "/by-id").c_str(), 0700) != 0) {
        rmdir(folder_.c_str());
        folder_.clear();
        return false;
    }
    path_ = folder_ + "/by-id/usb-Pellorin_Virtual_EVM_" + serial + "-if00";
    return true;
}

bool StableLink::point(const std::string &target) {
    if (path_.empty())
        return false;
    // A reader never finds the name missing or half made: the new link takes the old one's
    // place by rename.
    const std::string fresh = path_ + ".new";
    unlink(fresh.c_str());
    if (symlink(target.c_str(), fresh.c_str()) != 0)
        return false;
    if (rename(fresh.c_str(), path_.c_str()) != 0) {
        unlink(fresh.c_str());
        return false;
    }
    return true;
}

void StableLink::unpoint() {
    if (!path_.empty())
        unlink(path_.c_str());
}

void StableLink::remove() {
    if (folder_.empty())
        return;
    unpoint();
    rmdir((folder_ + "/by-id").c_str());
    rmdir(folder_.c_str());
    folder_.clear();
    path_.clear();
}

} // namespace sim
