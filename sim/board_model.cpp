#include "sim/board_model.h"

namespace sim {
namespace {

constexpr uint8_t kLead = 0x55;
constexpr size_t kFrameSize = 6;

namespace cmd {
constexpr uint8_t kWrite = 0x01, kRead = 0x02, kSelfCal = 0x03, kSelfOffset = 0x04;
constexpr uint8_t kSelfGain = 0x05, kSystemOffset = 0x06, kSystemGain = 0x07;
constexpr uint8_t kStandby = 0x08, kPowerDown = 0x09, kProbeSecond = 0x0A, kWakeup = 0x0C;
constexpr uint8_t kSetMode = 0x0D, kAcquire = 0x0F, kProbeFirst = 0xF0;
} // namespace cmd

bool ChecksumOk(const uint8_t *frame) {
    return frame[5] == FrameChecksum(frame[2], frame[3], frame[4]);
}

Frame FrameAt(const uint8_t *bytes) {
    Frame frame;
    for (size_t i = 0; i < kFrameSize; ++i)
        frame[i] = bytes[i];
    return frame;
}

} // namespace

uint8_t FrameChecksum(uint8_t code, uint8_t param1, uint8_t param2) {
    return static_cast<uint8_t>(~(code + param1 + param2));
}

Frame MakeFrame(uint8_t chipId, uint8_t code, uint8_t param1, uint8_t param2) {
    return {kLead, chipId, code, param1, param2, FrameChecksum(code, param1, param2)};
}

BoardModel::BoardModel(Chip chip) : chip_(chip) {
    setSignal(DefaultSignal(chip));
    if (chip_.hasCalibrationRegisters())
        selfCalibrate(); // the chip calibrates itself once at power-up
}

void BoardModel::unplugged(bool resetRegisters) {
    streaming_ = false;
    input_.clear();
    if (!resetRegisters)
        return;
    chip_ = ChipState(chip_.chip());
    chip_.setGpioInputLevels(conversion_.signal().gpioInputLevels);
    if (chip_.hasCalibrationRegisters())
        selfCalibrate();
}

void BoardModel::setSignal(const SignalModel &signal) {
    conversion_.setSignal(signal);
    chip_.setGpioInputLevels(signal.gpioInputLevels);
}

std::vector<Emission> BoardModel::receive(const uint8_t *data, size_t size) {
    input_.insert(input_.end(), data, data + size);
    std::vector<Emission> out;
    parse(false, out);
    return out;
}

std::vector<Emission> BoardModel::lineIdle() {
    std::vector<Emission> out;
    parse(true, out);
    return out;
}

void BoardModel::parse(bool lineQuiet, std::vector<Emission> &out) {
    size_t pos = 0;
    for (;;) {
        while (pos < input_.size() && input_[pos] != kLead)
            ++pos;
        if (input_.size() - pos < kFrameSize)
            break;
        const uint8_t *p = input_.data() + pos;
        if (ChecksumOk(p)) {
            take(FrameAt(p), out);
            pos += kFrameSize;
            continue;
        }
        // A bad checksum: either a damaged frame or noise with a lead byte in it. A lead byte
        // inside that starts a good frame means noise; one whose frame is not complete yet
        // means wait and see, unless the line has gone quiet.
        size_t resync = 0;
        bool undecided = false;
        for (size_t k = 1; k < kFrameSize && resync == 0 && !undecided; ++k) {
            if (p[k] != kLead)
                continue;
            if (pos + k + kFrameSize > input_.size())
                undecided = true;
            else if (ChecksumOk(p + k))
                resync = k;
        }
        if (resync != 0) {
            pos += resync;
            continue;
        }
        if (undecided && !lineQuiet)
            break;
        take(FrameAt(p), out);
        pos += kFrameSize;
    }
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(pos));
}

void BoardModel::take(const Frame &frame, std::vector<Emission> &out) {
    frames_.push_back(frame);
    ++framesTaken_;
    streaming_ = false; // any new request ends a running acquisition
    if (faults_.silent)
        return;
    const uint8_t code = frame[2], param1 = frame[3], param2 = frame[4];
    if (!ChecksumOk(frame.data())) {
        out.push_back(reply(code, param1, param2, kStatusBadFrameChecksum, 0));
        return;
    }
    if (code == cmd::kAcquire) {
        startAcquisition(frame, out);
        return;
    }
    uint8_t data = 0;
    uint8_t status;
    const auto forced = faults_.statusForCommand.find(code);
    const bool failingWrite = code == cmd::kWrite && writesSinceFaults_++ == faults_.failingWrite;
    if (forced != faults_.statusForCommand.end() && forced->second != 0)
        status = static_cast<uint8_t>(forced->second);
    else if (failingWrite)
        status = static_cast<uint8_t>(faults_.failingWriteStatus);
    else if (const int byAddress = forcedAddressStatus(code, param1); byAddress != 0)
        status = static_cast<uint8_t>(byAddress);
    else if (frame[1] != static_cast<uint8_t>(chip()))
        status = kStatusWrongChip;
    else
        status = execute(code, param1, param2, data);
    out.push_back(reply(code, param1, param2, status, data));
}

int BoardModel::forcedAddressStatus(uint8_t code, uint8_t address) const {
    if (code != cmd::kWrite && code != cmd::kRead)
        return 0;
    const auto forced = faults_.statusForAddress.find(address);
    return forced == faults_.statusForAddress.end() ? 0 : forced->second;
}

void BoardModel::startAcquisition(const Frame &frame, std::vector<Emission> &out) {
    const uint8_t param1 = frame[3], param2 = frame[4];
    const auto forced = faults_.statusForCommand.find(cmd::kAcquire);
    if (forced != faults_.statusForCommand.end() && forced->second != 0) {
        out.push_back(
            reply(cmd::kAcquire, param1, param2, static_cast<uint8_t>(forced->second), 0));
        return;
    }
    // Without its chip, or with the chip not converting, the bridge waits for data in vain.
    if (frame[1] != static_cast<uint8_t>(chip()) || chip_.power() != PowerState::Active)
        return;
    streaming_ = true;
    streamCount_ = (param1 << 8) | param2;
    streamIndex_ = 0;
    const int number = acquisitionsSinceFaults_++;
    streamFaulty_ = faults_.faultyAcquisition < 0 || number == faults_.faultyAcquisition;
    Emission start;
    start.delayMs = faults_.replyDelayMs;
    start.startsStream = true;
    out.push_back(start);
}

uint8_t BoardModel::execute(uint8_t code, uint8_t param1, uint8_t param2, uint8_t &data) {
    switch (code) {
    case cmd::kProbeFirst:
    case cmd::kProbeSecond:
        return kStatusOk;
    case cmd::kWakeup:
        chip_.setPower(PowerState::Active);
        return kStatusOk;
    case cmd::kPowerDown:
        chip_.setPower(PowerState::PowerDown);
        return kStatusOk;
    default:
        break;
    }
    if (chip_.power() == PowerState::PowerDown)
        return kStatusChipSilent; // its serial interface is off until wake-up
    switch (code) {
    case cmd::kWrite:
        return writeRegister(param1, param2);
    case cmd::kRead:
        if (!chip_.hasRegister(param1))
            return kStatusUnsupported;
        data = chip_.read(param1);
        return kStatusOk;
    case cmd::kSelfCal:
    case cmd::kSelfOffset:
    case cmd::kSelfGain:
    case cmd::kSystemOffset:
    case cmd::kSystemGain:
        return calibrate(code);
    case cmd::kStandby:
        chip_.setPower(PowerState::Standby);
        return kStatusOk;
    case cmd::kSetMode: {
        if (chip() != Chip::VXC5420 || param1 < 1 || param1 > 4)
            return kStatusUnsupported;
        const double held = conversion_.heldRaw(chip_);
        chip_.setMode(param1);
        conversion_.beginSettling(held, chip_.settlingConversions());
        return kStatusOk;
    }
    default:
        return kStatusUnsupported;
    }
}

uint8_t BoardModel::writeRegister(uint8_t address, uint8_t value) {
    if (!chip_.hasRegister(address))
        return kStatusUnsupported;
    const int gainBefore = chip_.pgaGain();
    const double rateBefore = chip_.dataRateSps();
    const uint8_t bufferBefore = chip_.read(reg8::kStatus) & reg8::kStatusBufen;
    const double held = conversion_.heldRaw(chip_);
    chip_.write(address, value);
    if (restartsFilter(address))
        conversion_.beginSettling(held, chip_.settlingConversions());
    // With auto-calibration on, the chip recalibrates itself whenever its gain, data rate or
    // input buffer changes.
    const bool settingsChanged = chip_.pgaGain() != gainBefore ||
                                 chip_.dataRateSps() != rateBefore ||
                                 (chip_.read(reg8::kStatus) & reg8::kStatusBufen) != bufferBefore;
    if (chip_.autoCalibration() && settingsChanged)
        selfCalibrate();
    return kStatusOk;
}

bool BoardModel::restartsFilter(uint8_t address) const {
    // The input pair and every setting of the conversion; the 8-channel chip's STATUS, GPIO and
    // calibration registers, and the 2-channel chip's STA, leave the filter running.
    if (chip() == Chip::VXC5480)
        return address == reg8::kMux || address == reg8::kAdcon || address == reg8::kDrate;
    return address >= reg2::kMux && address <= reg2::kCr3;
}

uint8_t BoardModel::calibrate(uint8_t code) {
    if (!chip_.hasCalibrationRegisters())
        return kStatusUnsupported;
    if (chip_.power() != PowerState::Active)
        return kStatusBridgeTimeout; // a chip in standby never signals the end of calibration
    switch (code) {
    case cmd::kSelfCal:
        selfCalibrate();
        break;
    case cmd::kSelfOffset:
        chip_.setOffsetCalibration(conversion_.selfOffset(chip_));
        break;
    case cmd::kSelfGain:
        chip_.setGainCalibration(conversion_.selfGain(chip_));
        break;
    case cmd::kSystemOffset:
        chip_.setOffsetCalibration(conversion_.systemOffset(chip_));
        break;
    default:
        chip_.setGainCalibration(conversion_.systemGain(chip_));
        break;
    }
    return kStatusOk;
}

void BoardModel::selfCalibrate() {
    chip_.setOffsetCalibration(conversion_.selfOffset(chip_));
    chip_.setGainCalibration(conversion_.selfGain(chip_));
}

Emission BoardModel::reply(uint8_t code, uint8_t param1, uint8_t param2, uint8_t status,
                           uint8_t data) const {
    const uint8_t covered = code == cmd::kRead ? data : param2;
    Emission e;
    e.delayMs = faults_.replyDelayMs;
    e.bytes = {status, data, static_cast<uint8_t>(code + param1 + covered)};
    if (code == faults_.badChecksumCommand)
        e.bytes[2] = static_cast<uint8_t>(e.bytes[2] + 1);
    if (code == faults_.shortReplyCommand)
        e.bytes.resize(2);
    if (faults_.trailingBytes > 0)
        e.bytes.insert(e.bytes.end(), static_cast<size_t>(faults_.trailingBytes), kStrayByte);
    return e;
}

bool BoardModel::hangsUpNext() const {
    return streamFaulty_ && faults_.hangUpAfterItems >= 0 &&
           streamIndex_ >= faults_.hangUpAfterItems;
}

bool BoardModel::endsNext() const {
    return streamIndex_ >= streamCount_ ||
           (streamFaulty_ && faults_.stopAfterItems >= 0 && streamIndex_ >= faults_.stopAfterItems);
}

bool BoardModel::wantsConversion() const {
    return streaming_ && !hangsUpNext() && !endsNext();
}

void BoardModel::loseConversions(uint64_t conversions) {
    if (wantsConversion())
        conversion_.skip(conversions);
}

bool BoardModel::nextStreamStep(StreamStep &step, uint64_t skipBefore) {
    if (!streaming_)
        return false;
    step = StreamStep{};
    const int i = streamIndex_;
    // Faults that do not strike this stream are out of reach of any index.
    const auto at = [this](int index) { return streamFaulty_ ? index : -1; };
    if (hangsUpNext()) {
        streaming_ = false;
        step.hangUp = true;
        return true;
    }
    if (endsNext()) {
        streaming_ = false;
        return false;
    }
    conversion_.skip(skipBefore);
    const uint32_t code = static_cast<uint32_t>(conversion_.convert(chip_)) & 0xFFFFFF;
    const uint8_t b0 = code >> 16, b1 = (code >> 8) & 0xFF, b2 = code & 0xFF;
    step.bytes = {b0, b1, b2, static_cast<uint8_t>(b0 + b1 + b2)};
    if (i == at(faults_.badItemIndex))
        step.bytes[3] = static_cast<uint8_t>(step.bytes[3] + 1);
    if (i == at(faults_.shortItemIndex)) {
        step.bytes.resize(2);
        streaming_ = false;
    }
    ++streamIndex_;
    return true;
}

} // namespace sim
