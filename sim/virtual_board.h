#pragma once
// A complete stand-in for the EVM: the bridge protocol served on a pseudo-terminal from a
// thread of its own, with the modelled chip behind it. The program's serial transport talks
// to it as to the real board; tests steer it (faults, signal) and inspect what it received.

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sim {

enum class Chip : uint8_t { VXC5480 = 1, VXC5420 = 2 };

// Parses "VXC5480" / "VXC5420" (case-insensitive); false when the name is unknown.
bool ParseChip(const std::string &name, Chip &chip);

// Parses "FREQ_HZ:AMPLITUDE_V" (a sine added to the inputs, e.g. "10:0.5"); false unless both
// are finite numbers with a frequency above 0 and an amplitude of 0 or more.
bool ParseSine(const std::string &text, double &hz, double &volts);

// How the board's bytes meet time.
enum class Pacing {
    // As fast as the pty takes the bytes; the chip waits for the reader, so nothing is lost
    // (tests that do not care about time).
    None,
    // Items at the pace of a 115200-baud 8N1 line whatever the data rate, the chip converting in
    // step with the line.
    Wire,
    // The hardware: conversions at the chip's data rate, items no faster than the line.
    Real,
};

// Parses "none", "wire" or "real"; false for anything else.
bool ParsePacing(const std::string &name, Pacing &pacing);

// What the bridge did with the conversions of its acquisitions since the record was cleared.
// With Wire or Real pacing the bridge never waits: a conversion that finds the line busy with
// an older item, or the line full because the reader stopped taking bytes, is lost.
struct StreamRecord {
    uint64_t conversions = 0; // made while an acquisition ran, sent or not
    uint64_t dropped = 0;     // of those, never sent
    uint64_t itemsSent = 0;   // items written to the line in full
    // The longest time between two consecutive items written, acquisitions in a row included.
    std::chrono::steady_clock::duration longestGap{};
    // When each of the last items (at most kSendTimesKept) was written in full, oldest first.
    std::vector<std::chrono::steady_clock::time_point> sendTimes;
};
constexpr size_t kSendTimesKept = 65536;

// Each switch is independent; the defaults are a healthy board.
struct Faults {
    bool silent = false;                 // frames are taken, nothing is answered
    int shortReplyCommand = -1;          // the reply to this command code stops after 2 bytes
    int badChecksumCommand = -1;         // the reply to this command code has a wrong checksum
    std::map<int, int> statusForCommand; // answer this status to this command code
    // A register read (code 2) or write (code 1) of an address in this map is answered with
    // the mapped status and has no effect; other addresses are served as usual.
    std::map<int, int> statusForAddress;
    int replyDelayMs = 0;      // every reply and item stream starts this late
    int trailingBytes = 0;     // stray bytes sent right after every reply
    int badItemIndex = -1;     // this acquisition item carries a wrong checksum
    int stopAfterItems = -1;   // the item stream falls silent after this many items
    int shortItemIndex = -1;   // this item is cut after 2 bytes, then silence
    int hangUpAfterItems = -1; // the board hangs up the line after this many items
    // The four item faults above strike only the acquisition with this number, counted from 0
    // since these faults were set; -1: every acquisition.
    int faultyAcquisition = -1;
    // The register write (code 1) with this number, counted from 0 since these faults were
    // set, answers failingWriteStatus and has no effect; the writes before and after it work.
    int failingWrite = -1;
    int failingWriteStatus = 0;
};

// What the chip's inputs see. Codes follow from input, gain, calibration and reference. A
// model made as it stands suits the 8-channel board; DefaultSignal gives each chip its own.
struct SignalModel {
    // AIN0..AIN7 and AINCOM. Distinct levels a scan tells apart, small enough for the highest
    // gain (+-78 mV full scale at PGA 64) to take any pair without clipping.
    std::array<double, 9> inputVolts{0.005, 0.010, 0.015, 0.020, 0.025, 0.030, 0.035, 0.040, 0.0};
    double referenceVolts = 2.5;
    double noiseVolts = 2e-6; // input-referred RMS noise at the slowest data rate, gain 1
    // The share of that noise the amplifier adds at any gain; the rest falls with the gain.
    double amplifierNoiseShare = 0.25;
    double sineAmplitudeVolts = 0.0;
    double sineHz = 0.0;
    uint32_t seed = 1;
    // Codes 0, 1, 2, ... one per conversion, running on across acquisitions (wrapping at 24
    // bits), in place of the inputs: makes stitching of many acquisitions checkable.
    bool counting = false;
    // What the 2-channel chip's supply mode (mode 2, DVDD - AVDD) measures.
    double supplyDifferenceVolts = 0.015;
    // Levels driven onto the 8-channel chip's GPIO pins D3..D0 (bits 3..0) when they are inputs.
    uint8_t gpioInputLevels = 0x00;
};

// The inputs a board of this chip starts with. The 2-channel chip sees a bridge: both inputs
// near half the reference, a few millivolts apart, which every mode takes without clipping
// (+-19.5 mV full scale at PGA 128), with the low noise of a bridge converter (about 20 nV RMS
// at PGA 128 and 10 SPS, 0.4 uV at PGA 1).
SignalModel DefaultSignal(Chip chip);

// The inputs of board number `number` (1-based) among several served at once: board 1 has
// DefaultSignal, each other its own seed, a small offset on its inputs and its own noise, so
// no two boards give the same samples. Every board keeps within the ranges DefaultSignal
// keeps within (the 2-channel board still sees a bridge).
SignalModel BoardSignal(Chip chip, int number);

class VirtualBoard {
  public:
    explicit VirtualBoard(Chip chip = Chip::VXC5480);
    ~VirtualBoard();
    VirtualBoard(const VirtualBoard &) = delete;
    VirtualBoard &operator=(const VirtualBoard &) = delete;

    // Opens a pty and serves it until stop() or destruction, behind linkPath(). False if no
    // pty or link folder could be made.
    bool start();
    // Stops serving; the link and its folder go.
    void stop();
    // The pty that serves the board now; a new one after every unplug.
    std::string portPath() const;
    Chip chip() const;

    // The serial number in the board's link name: "PLR0001", "PLR0002" ... in the order the
    // boards of this process are made, unless set before start().
    void setSerial(const std::string &serial);
    std::string serial() const;
    // <private folder>/by-id/usb-Pellorin_Virtual_EVM_<SERIAL>-if00: a symbolic link to the
    // pty that serves the board now, the same path across unplugs, as a USB bridge's name under
    // /dev/serial/by-id/. Known from start() on; absent while the board is unplugged.
    std::string linkPath() const;

    // Pulls the board out, returning at once: the line hangs up (the program's reads and
    // writes fail), the link goes, and after `away` the board serves again on a new pty with
    // the link pointing at it. With resetRegisters the chip comes back as it powers up
    // (registers, the 2-channel chip's mode, power state); else as it was left. While away
    // nothing is converted. Unplugging an unplugged board sets when it comes back anew.
    void unplug(std::chrono::milliseconds away, bool resetRegisters);
    bool pluggedIn() const;
    // Waits until the board serves behind its link again; false if the limit passed first.
    bool waitPluggedIn(int limitMs) const;

    // Wire unless set; a stream keeps the pacing it started with.
    void setPacing(Pacing pacing);
    void setFaults(const Faults &faults);
    void setSignal(const SignalModel &signal);

    // What a register read would answer now (live bits such as data-ready included).
    uint8_t registerValue(uint8_t address) const;
    // Sets the stored register byte as given, read-only bits included (test set-up).
    void setRegisterValue(uint8_t address, uint8_t value);

    // Every whole frame the board took, in order (also those it did not answer).
    std::vector<std::array<uint8_t, 6>> receivedFrames() const;
    // Clears the received frames and the sent item bytes.
    void clearReceivedFrames();
    // The bytes of every acquisition item sent since the last clear, as sent.
    std::vector<uint8_t> sentItemBytes() const;
    void clearSentItemBytes();
    // Every byte written to the line since the board was made (replies, stray bytes, items),
    // never cleared: a test notes it, acts, then waits for the bytes it expects to go out.
    uint64_t sentByteCount() const;
    // Wait until sentByteCount() reaches count, or sentItemBytes() holds count bytes; false if
    // the limit passed first.
    bool waitForSentBytes(uint64_t count, int limitMs) const;
    bool waitForSentItemBytes(size_t count, int limitMs) const;
    // Nothing is queued or streaming and the program has read every byte sent: a program
    // reading the line now waits for bytes that will not come.
    bool idle() const;

    StreamRecord streamRecord() const;
    uint64_t droppedConversions() const;
    void clearStreamRecord();

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace sim
