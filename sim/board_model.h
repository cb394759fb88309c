#pragma once
// The bridge and its chip as a pure function of the bytes received: frame parsing with resync
// on the lead byte, the command set, reply bytes with their checksums, the acquisition item
// stream and the injected faults. No I/O and no clocks: the server decides when bytes go out.

#include "sim/chip_registers.h"
#include "sim/signal_model.h"
#include "sim/virtual_board.h"

#include <array>
#include <cstdint>
#include <vector>

namespace sim {

using Frame = std::array<uint8_t, 6>;

// Statuses of this bridge. A frame naming the other chip finds no chip (1). A powered-down
// chip answers nothing but wake-up, so register access and calibration give 2; in standby the
// registers stay reachable but a calibration never finishes (3) and an acquisition sends no
// items. A frame with a bad checksum gets 4; an unknown command, a register address past the
// chip's map or a command the chip lacks (the 2-channel chip has no calibration, the 8-channel
// chip no modes) gets 5. The bridge answers the detection probes itself, even for a
// powered-down chip.
constexpr uint8_t kStatusOk = 0;
constexpr uint8_t kStatusWrongChip = 1;
constexpr uint8_t kStatusChipSilent = 2;
constexpr uint8_t kStatusBridgeTimeout = 3;
constexpr uint8_t kStatusBadFrameChecksum = 4;
constexpr uint8_t kStatusUnsupported = 5;

// Stray bytes sent after a reply by the trailing-bytes fault.
constexpr uint8_t kStrayByte = 0xA5;

uint8_t FrameChecksum(uint8_t code, uint8_t param1, uint8_t param2);
Frame MakeFrame(uint8_t chipId, uint8_t code, uint8_t param1, uint8_t param2);

// Something the board sends after receiving a frame.
struct Emission {
    int delayMs = 0;
    std::vector<uint8_t> bytes; // a reply, with any stray bytes after it
    bool startsStream = false;  // the acquisition's items follow, one step at a time
};

// One step of the item stream.
struct StreamStep {
    std::vector<uint8_t> bytes; // one item, or its first part when it is cut
    bool hangUp = false;        // the board drops the line here
};

class BoardModel {
  public:
    explicit BoardModel(Chip chip);

    Chip chip() const { return chip_.chip(); }
    ChipState &chipState() { return chip_; }
    const ChipState &chipState() const { return chip_; }
    const ConversionModel &conversion() const { return conversion_; }

    // Restarts the counts of writes and acquisitions that the faults name by number.
    void setFaults(const Faults &faults) {
        faults_ = faults;
        writesSinceFaults_ = acquisitionsSinceFaults_ = 0;
    }
    const Faults &faults() const { return faults_; }
    void setSignal(const SignalModel &signal);

    // Takes bytes off the line and answers every whole frame among them, in order.
    std::vector<Emission> receive(const uint8_t *data, size_t size);
    // The line went quiet: a frame held back because a lead byte inside it might have started
    // the real frame is judged now as the bad frame it is.
    std::vector<Emission> lineIdle();
    bool hasPendingInput() const { return !input_.empty(); }

    // The board was unplugged: a running acquisition and any half-received frame are gone.
    // With resetRegisters the chip is as it powers up: registers, mode, power state and the
    // calibration it makes then.
    void unplugged(bool resetRegisters);

    bool streaming() const { return streaming_; }
    void abortStream() { streaming_ = false; }
    // The next item of the running acquisition; false when the stream is over or fell silent.
    // Before an item's conversion, the chip makes skipBefore conversions that the bridge lets
    // go unsent (none before a hang-up, nor when the stream is over).
    bool nextStreamStep(StreamStep &step, uint64_t skipBefore = 0);
    // Whether the running acquisition still takes a conversion for an item.
    bool wantsConversion() const;
    // Whether the running acquisition has sent all it will (no item and no hang-up to come).
    bool streamOver() const { return !streaming_ || (!hangsUpNext() && endsNext()); }
    // Conversions the chip made while the line could take no item: lost, while the acquisition
    // still wants conversions.
    void loseConversions(uint64_t conversions);

    // Counts every frame taken, never reset: the server sees a new request by it.
    uint64_t framesTaken() const { return framesTaken_; }
    const std::vector<Frame> &frames() const { return frames_; }
    void clearFrames() { frames_.clear(); }

  private:
    void parse(bool lineQuiet, std::vector<Emission> &out);
    void take(const Frame &frame, std::vector<Emission> &out);
    void startAcquisition(const Frame &frame, std::vector<Emission> &out);
    bool hangsUpNext() const; // the stream's next step is the hang-up fault
    bool endsNext() const;    // the stream has sent all it will
    // The status the address fault forces on a register read or write; 0 when none.
    int forcedAddressStatus(uint8_t code, uint8_t address) const;
    uint8_t execute(uint8_t code, uint8_t param1, uint8_t param2, uint8_t &data);
    uint8_t writeRegister(uint8_t address, uint8_t value);
    // Whether a write to this register restarts the chip's filter, so conversions settle anew.
    bool restartsFilter(uint8_t address) const;
    uint8_t calibrate(uint8_t code);
    void selfCalibrate();
    Emission reply(uint8_t code, uint8_t param1, uint8_t param2, uint8_t status,
                   uint8_t data) const;

    ChipState chip_;
    ConversionModel conversion_;
    Faults faults_;
    std::vector<uint8_t> input_;
    std::vector<Frame> frames_;
    uint64_t framesTaken_ = 0;
    bool streaming_ = false;
    int streamCount_ = 0;
    int streamIndex_ = 0;
    bool streamFaulty_ = true; // the item faults strike this stream
    int writesSinceFaults_ = 0;
    int acquisitionsSinceFaults_ = 0;
};

} // namespace sim
