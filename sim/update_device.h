#pragma once
// The board's USB HID update interface, simulated: the board's side of the update protocol
// (tagged 128-byte requests in 129-byte feature reports, replies as input reports, identity,
// stored configuration block and image, read-back), with switchable faults. Called directly on
// the caller's thread; a thin adapter in firmware/ puts it behind the program's device
// interface.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace sim {

// Each switch is independent; the defaults are a healthy board under product id 0x0325.
struct UpdateFaults {
    bool absent = false;         // no update interface at all
    uint16_t productId = 0x0325; // 0x0331 for a board present only under the second id
    std::array<uint8_t, 4> identity{0x10, 0xC0, 0x05, 0x01}; // answer to the identification read
    // Reply status to a request, keyed by command << 8 | sub-command (0x010D is the opening).
    std::map<int, int> statusForRequest;
    uint16_t voltageReading = 33000;        // sent with status 2, in millivolts
    int wrongTagRequest = -1;               // the reply to this request carries another tag
    int silentRequest = -1;                 // this request is never answered
    bool configReadBackDiffers = false;     // byte 17 of the read-back configuration is off
    bool imageReadBackDiffersAtEnd = false; // the last byte of the read-back image is off
    int failingTransfer = -1;               // this feature transfer (0-based, since open) fails
};

// One request as the board understood it.
struct UpdateRequest {
    uint8_t tag = 0;
    uint8_t command = 0;
    uint8_t subCommand = 0;
    uint32_t address = 0;
    uint32_t length = 0;
    uint16_t sum = 0;
    int code() const { return command << 8 | subCommand; }
};

class UpdateDevice {
  public:
    static constexpr std::size_t kFeatureReportSize = 129;
    static constexpr std::size_t kInputReportSize = 65;

    explicit UpdateDevice(uint16_t vendorId);

    void setFaults(const UpdateFaults &faults) { m_faults = faults; }
    const UpdateFaults &faults() const { return m_faults; }

    // The device side of an open: true when this board answers to the ids and is free.
    bool open(uint16_t vendorId, uint16_t productId);
    void close();
    bool isOpen() const { return m_open; }
    int openCount() const { return m_openCount; }
    int closeCount() const { return m_closeCount; }

    // A feature report from the host (report id first). False when the transfer fails.
    bool setFeature(const uint8_t *report, std::size_t length);
    // A feature report to the host: the next slice of what the last read request asked for.
    bool getFeature(uint8_t *report, std::size_t length);
    // The oldest pending reply as an input report (report id 0 first); false when none.
    bool readInput(uint8_t *report, std::size_t length);

    // What the board took, for tests and the benchmark.
    const std::vector<UpdateRequest> &requests() const { return m_requests; }
    const std::vector<std::vector<uint8_t>> &featureReports() const { return m_reports; }
    const std::vector<uint8_t> &storedConfig() const { return m_config; }
    const std::vector<uint8_t> &storedImage() const { return m_image; }
    // Clears the records (requests, feature reports); the stored data stays.
    void clearRecords();
    // Keeps no copy of each feature report (the benchmark's long runs).
    void setRecordReports(bool record) { m_recordReports = record; }

  private:
    void takeRequest(const uint8_t *payload);
    void takeData(const uint8_t *payload);
    void reply(const UpdateRequest &request, int status);
    void finishBlock();

    uint16_t m_vendorId;
    UpdateFaults m_faults;
    bool m_open = false;
    int m_openCount = 0;
    int m_closeCount = 0;
    int m_transfers = 0;
    bool m_recordReports = true;

    std::vector<UpdateRequest> m_requests;
    std::vector<std::vector<uint8_t>> m_reports;
    std::vector<std::array<uint8_t, kInputReportSize>> m_replies;

    // The data block announced by the last write request, as it arrives.
    UpdateRequest m_writing;
    std::vector<uint8_t> m_incoming;
    bool m_receivingData = false;
    // What the next feature reads return, and how far they got.
    std::vector<uint8_t> m_outgoing;
    std::size_t m_outgoingOffset = 0;

    std::vector<uint8_t> m_config;
    std::vector<uint8_t> m_image;
};

// A small deterministic image for runs without a real one (--simulate, tests, benchmark).
std::vector<uint8_t> GeneratedFirmwareImage(std::size_t size = 4096);

} // namespace sim
