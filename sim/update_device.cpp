#include "update_device.h"

#include <algorithm>
#include <cstring>

namespace sim {
namespace {
constexpr uint8_t kRequestLead = 0x55;
constexpr std::size_t kPayloadSize = 128;

// The requests the board answers with an input report once they are done.
bool isAnswered(int code) {
    switch (code) {
    case 0x010D: // opening
    case 0x010A: // set-up
    case 0x0202: // preparation
    case 0x0502: // configuration write, after its data
    case 0x0501: // image write, after its data
        return true;
    default:
        return false;
    }
}

uint32_t le32(const uint8_t *p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t sum16(const std::vector<uint8_t> &bytes) {
    uint32_t sum = 0;
    for (uint8_t b : bytes)
        sum += b;
    return static_cast<uint16_t>(sum);
}
} // namespace

UpdateDevice::UpdateDevice(uint16_t vendorId) : m_vendorId(vendorId) {}

bool UpdateDevice::open(uint16_t vendorId, uint16_t productId) {
    if (m_faults.absent || m_open || vendorId != m_vendorId || productId != m_faults.productId)
        return false;
    m_open = true;
    ++m_openCount;
    m_transfers = 0;
    m_replies.clear();
    m_receivingData = false;
    m_outgoing.clear();
    m_outgoingOffset = 0;
    return true;
}

void UpdateDevice::close() {
    if (!m_open)
        return;
    m_open = false;
    ++m_closeCount;
    m_replies.clear();
}

bool UpdateDevice::setFeature(const uint8_t *report, std::size_t length) {
    if (!m_open || length != kFeatureReportSize || report[0] != 0)
        return false;
    if (m_transfers++ == m_faults.failingTransfer)
        return false;
    if (m_recordReports)
        m_reports.emplace_back(report, report + length);
    if (m_receivingData)
        takeData(report + 1);
    else
        takeRequest(report + 1);
    return true;
}

bool UpdateDevice::getFeature(uint8_t *report, std::size_t length) {
    if (!m_open || length != kFeatureReportSize)
        return false;
    if (m_transfers++ == m_faults.failingTransfer)
        return false;
    std::memset(report, 0, length);
    const std::size_t left = m_outgoing.size() - std::min(m_outgoingOffset, m_outgoing.size());
    const std::size_t slice = std::min(left, kPayloadSize);
    std::copy_n(m_outgoing.begin() + static_cast<std::ptrdiff_t>(m_outgoingOffset), slice,
                report + 1);
    m_outgoingOffset += slice;
    return true;
}

bool UpdateDevice::readInput(uint8_t *report, std::size_t length) {
    if (!m_open || m_replies.empty())
        return false;
    const auto &reply = m_replies.front();
    std::memset(report, 0, length);
    std::copy_n(reply.begin(), std::min(length, reply.size()), report);
    m_replies.erase(m_replies.begin());
    return true;
}

void UpdateDevice::clearRecords() {
    m_requests.clear();
    m_reports.clear();
}

void UpdateDevice::takeRequest(const uint8_t *payload) {
    if (payload[0] != kRequestLead)
        return; // not a request: the board ignores it
    UpdateRequest request;
    request.tag = payload[1];
    request.command = payload[2];
    request.subCommand = payload[3];
    request.address = le32(payload + 4);
    request.length = le32(payload + 8);
    request.sum = static_cast<uint16_t>(payload[12] | payload[13] << 8);
    m_requests.push_back(request);

    m_outgoing.clear();
    m_outgoingOffset = 0;
    switch (request.code()) {
    case 0x0409: // identification read
        m_outgoing.assign(m_faults.identity.begin(), m_faults.identity.end());
        return;
    case 0x0602: { // configuration read-back
        const std::size_t end =
            std::min<std::size_t>(request.address + request.length, m_config.size());
        if (request.address < end)
            m_outgoing.assign(m_config.begin() + request.address, m_config.begin() + end);
        m_outgoing.resize(request.length, 0xFF);
        if (m_faults.configReadBackDiffers && m_outgoing.size() > 17)
            m_outgoing[17] ^= 0x01;
        return;
    }
    case 0x0605: // image read-back
        m_outgoing = m_image;
        m_outgoing.resize(request.length, 0xFF);
        if (m_faults.imageReadBackDiffersAtEnd && !m_outgoing.empty())
            m_outgoing.back() ^= 0x01;
        return;
    case 0x0502: // configuration write
    case 0x0501: // image write
        m_writing = request;
        m_incoming.clear();
        m_receivingData = request.length > 0;
        if (!m_receivingData)
            finishBlock();
        return;
    default:
        if (isAnswered(request.code()))
            reply(request, 0);
        return;
    }
}

void UpdateDevice::takeData(const uint8_t *payload) {
    const std::size_t slice =
        std::min<std::size_t>(kPayloadSize, m_writing.length - m_incoming.size());
    m_incoming.insert(m_incoming.end(), payload, payload + slice);
    if (m_incoming.size() >= m_writing.length) {
        m_receivingData = false;
        finishBlock();
    }
}

void UpdateDevice::finishBlock() {
    const bool sumOk = sum16(m_incoming) == m_writing.sum;
    const auto status = m_faults.statusForRequest.find(m_writing.code());
    const bool stored = sumOk && status == m_faults.statusForRequest.end();
    if (stored && m_writing.code() == 0x0502)
        m_config = m_incoming;
    if (stored && m_writing.code() == 0x0501)
        m_image = m_incoming;
    reply(m_writing, sumOk ? 0 : 1);
}

void UpdateDevice::reply(const UpdateRequest &request, int status) {
    if (request.code() == m_faults.silentRequest)
        return;
    const auto forced = m_faults.statusForRequest.find(request.code());
    if (forced != m_faults.statusForRequest.end())
        status = forced->second;
    std::array<uint8_t, kInputReportSize> report{};
    report[1] = request.code() == m_faults.wrongTagRequest ? uint8_t(~request.tag) : request.tag;
    report[2] = request.command;
    report[3] = static_cast<uint8_t>(status);
    report[4] = static_cast<uint8_t>(status >> 8);
    if (status == 2) {
        report[5] = static_cast<uint8_t>(m_faults.voltageReading);
        report[6] = static_cast<uint8_t>(m_faults.voltageReading >> 8);
    }
    m_replies.push_back(report);
}

std::vector<uint8_t> GeneratedFirmwareImage(std::size_t size) {
    // A linear congruential sequence: every byte value appears, nothing repeats soon, and the
    // same size always gives the same image.
    std::vector<uint8_t> image(size);
    uint32_t state = 0x1234567u;
    for (uint8_t &byte : image) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return image;
}

} // namespace sim
