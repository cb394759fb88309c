#include "sim/virtual_board.h"

#include "sim/board_server.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

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

struct VirtualBoard::Impl {
    explicit Impl(Chip c) : chip(c), server(c) {}
    Chip chip;
    BoardServer server;
};

VirtualBoard::VirtualBoard(Chip chip) : d(std::make_unique<Impl>(chip)) {}

VirtualBoard::~VirtualBoard() {
    d->server.stop();
}

bool VirtualBoard::start() {
    return d->server.start();
}

void VirtualBoard::stop() {
    d->server.stop();
}

std::string VirtualBoard::portPath() const {
    return d->server.portPath();
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
