#include "sim/virtual_board.h"

#include "sim/board_server.h"
#include "sim/stable_link.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace sim {

bool ParseChip(const std::string &name, Chip &chip) {
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper == "VXC5480") {
        chip = Chip::VXC5480;
        return true;
    }
    if (upper == "VXC5420") {
        chip = Chip::VXC5420;
        return true;
    }
    return false;
}

bool ParseSine(const std::string &text, double &hz, double &volts) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    auto number = [](const std::string &part, double &out) {
        if (part.empty())
            return false;
        char *end = nullptr;
        out = std::strtod(part.c_str(), &end);
        return end == part.c_str() + part.size() && std::isfinite(out);
    };
    double f = 0, a = 0;
    if (!number(text.substr(0, colon), f) || !number(text.substr(colon + 1), a) || f <= 0 || a < 0)
        return false;
    hz = f;
    volts = a;
    return true;
}

bool ParsePacing(const std::string &name, Pacing &pacing) {
    if (name == "none")
        pacing = Pacing::None;
    else if (name == "wire")
        pacing = Pacing::Wire;
    else if (name == "real")
        pacing = Pacing::Real;
    else
        return false;
    return true;
}

SignalModel DefaultSignal(Chip chip) {
    SignalModel signal;
    if (chip == Chip::VXC5420) {
        signal.inputVolts[0] = 1.2500;
        signal.inputVolts[1] = 1.2535;
        signal.noiseVolts = 0.4e-6;
        signal.amplifierNoiseShare = 0.04;
    }
    return signal;
}

SignalModel BoardSignal(Chip chip, int number) {
    SignalModel signal = DefaultSignal(chip);
    if (number <= 1)
        return signal;
    // Offsets of a few tenths of a millivolt, growing with the input's number so that every
    // pair (the power-up MUX's AIN0 - AIN1 too) differs from board to board.
    const int step = (number - 1) % 16;
    signal.seed = static_cast<uint32_t>(number);
    signal.noiseVolts *= 1.0 + 0.05 * step;
    if (chip == Chip::VXC5420) {
        signal.inputVolts[1] += 0.1e-3 * step; // the bridge's imbalance: 3.6 to 5.0 mV
    } else {
        for (size_t i = 0; i < 8; ++i)
            signal.inputVolts[i] += 0.1e-3 * step * static_cast<double>(i + 1); // AIN7 <= 52 mV
    }
    return signal;
}

namespace {
std::string NextSerial() {
    static std::atomic<int> made{0};
    char serial[16];
    std::snprintf(serial, sizeof serial, "PLR%04d", ++made % 10000);
    return serial;
}
} // namespace

// The plug lock guards the server's starts and stops, the link and the plugged-in state; the
// plug thread (made on the first unplug) brings the board back when its time comes.
struct VirtualBoard::Impl {
    explicit Impl(Chip c) : chip(c), server(c), serial(NextSerial()) {}
    void plugLoop();

    Chip chip;
    BoardServer server;
    StableLink link;
    std::string serial;
    mutable std::mutex plugMutex;
    mutable std::condition_variable plugChanged;
    bool serving = false; // from start() to stop()
    bool pluggedIn = false;
    bool ending = false;
    std::chrono::steady_clock::time_point backAt;
    std::thread plugThread;
};

void VirtualBoard::Impl::plugLoop() {
    std::unique_lock<std::mutex> lock(plugMutex);
    while (!ending) {
        if (pluggedIn) {
            plugChanged.wait(lock);
            continue;
        }
        if (std::chrono::steady_clock::now() < backAt) {
            plugChanged.wait_until(lock, backAt);
            continue;
        }
        if (server.plugIn() && link.point(server.portPath())) {
            pluggedIn = true;
            plugChanged.notify_all();
        } else {
            backAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        }
    }
}

VirtualBoard::VirtualBoard(Chip chip) : d(std::make_unique<Impl>(chip)) {}

VirtualBoard::~VirtualBoard() {
    stop();
}

bool VirtualBoard::start() {
    const std::lock_guard<std::mutex> lock(d->plugMutex);
    if (d->serving)
        return !d->pluggedIn || d->server.start();
    if (!d->link.make(d->serial))
        return false;
    if (!d->server.start() || !d->link.point(d->server.portPath())) {
        d->server.stop();
        d->link.remove();
        return false;
    }
    d->serving = d->pluggedIn = true;
    return true;
}

void VirtualBoard::stop() {
    {
        const std::lock_guard<std::mutex> lock(d->plugMutex);
        d->ending = true;
        d->plugChanged.notify_all();
    }
    if (d->plugThread.joinable())
        d->plugThread.join();
    const std::lock_guard<std::mutex> lock(d->plugMutex);
    d->server.stop();
    d->link.remove();
    d->serving = d->pluggedIn = d->ending = false;
}

std::string VirtualBoard::portPath() const {
    const std::lock_guard<std::mutex> lock(d->plugMutex);
    return d->server.portPath();
}

void VirtualBoard::setSerial(const std::string &serial) {
    const std::lock_guard<std::mutex> lock(d->plugMutex);
    d->serial = serial;
}

std::string VirtualBoard::serial() const {
    const std::lock_guard<std::mutex> lock(d->plugMutex);
    return d->serial;
}

std::string VirtualBoard::linkPath() const {
    const std::lock_guard<std::mutex> lock(d->plugMutex);
    return d->link.path();
}

void VirtualBoard::unplug(std::chrono::milliseconds away, bool resetRegisters) {
    const std::lock_guard<std::mutex> lock(d->plugMutex);
    if (!d->serving)
        return;
    d->backAt = std::chrono::steady_clock::now() + away;
    if (d->pluggedIn) {
        // Closing the master is what the reader sees of a bridge pulled out: a hang-up.
        d->server.stop();
        d->link.unpoint();
        d->pluggedIn = false;
    }
    d->server.withModel([&](BoardModel &m) { m.unplugged(resetRegisters); });
    if (!d->plugThread.joinable())
        d->plugThread = std::thread([this] { d->plugLoop(); });
    d->plugChanged.notify_all();
}

bool VirtualBoard::pluggedIn() const {
    const std::lock_guard<std::mutex> lock(d->plugMutex);
    return d->pluggedIn;
}

bool VirtualBoard::waitPluggedIn(int limitMs) const {
    std::unique_lock<std::mutex> lock(d->plugMutex);
    return d->plugChanged.wait_for(lock, std::chrono::milliseconds(limitMs),
                                   [this] { return d->pluggedIn; });
}

Chip VirtualBoard::chip() const {
    return d->chip;
}

void VirtualBoard::setPacing(Pacing pacing) {
    d->server.setPacing(pacing);
}

void VirtualBoard::setFaults(const Faults &faults) {
    d->server.withModel([&](BoardModel &m) { m.setFaults(faults); });
}

void VirtualBoard::setSignal(const SignalModel &signal) {
    d->server.withModel([&](BoardModel &m) { m.setSignal(signal); });
}

uint8_t VirtualBoard::registerValue(uint8_t address) const {
    return d->server.withModel([&](const BoardModel &m) { return m.chipState().read(address); });
}

void VirtualBoard::setRegisterValue(uint8_t address, uint8_t value) {
    d->server.withModel([&](BoardModel &m) { m.chipState().poke(address, value); });
}

std::vector<std::array<uint8_t, 6>> VirtualBoard::receivedFrames() const {
    return d->server.withModel([](const BoardModel &m) { return m.frames(); });
}

void VirtualBoard::clearReceivedFrames() {
    d->server.withModel([](BoardModel &m) { m.clearFrames(); });
    d->server.clearSentItemBytes();
}

void VirtualBoard::clearSentItemBytes() {
    d->server.clearSentItemBytes();
}

bool VirtualBoard::idle() const {
    return d->server.idle();
}

StreamRecord VirtualBoard::streamRecord() const {
    return d->server.streamRecord();
}

uint64_t VirtualBoard::droppedConversions() const {
    return d->server.droppedConversions();
}

void VirtualBoard::clearStreamRecord() {
    d->server.clearStreamRecord();
}

std::vector<uint8_t> VirtualBoard::sentItemBytes() const {
    return d->server.sentItemBytes();
}

uint64_t VirtualBoard::sentByteCount() const {
    return d->server.sentByteCount();
}

bool VirtualBoard::waitForSentBytes(uint64_t count, int limitMs) const {
    return d->server.waitForSentBytes(count, std::chrono::milliseconds(limitMs));
}

bool VirtualBoard::waitForSentItemBytes(size_t count, int limitMs) const {
    return d->server.waitForSentItemBytes(count, std::chrono::milliseconds(limitMs));
}

} // namespace sim
