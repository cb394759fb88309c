// HidapiTransport on a HID device the kernel makes through /dev/uhid: hidapi and hidraw as a
// real board reaches them, with this test playing the board's update interface (no report
// ids, 128-byte feature reports, 64-byte input reports). It runs where /dev/uhid can be opened
// (root, or a udev rule giving it to the user) and is skipped elsewhere.

#include "firmware/hidapi_transport.h"
#include "firmware/update_codes.h"

#include <gtest/gtest.h>

#include <linux/uhid.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Report = std::vector<uint8_t>;

constexpr uint16_t kVendorId = 0x1209;          // pid.codes
constexpr uint16_t kProductId = 0x0007;         // one of its test products
constexpr std::size_t kFeatureReportSize = 129; // report id 0, then 128 bytes
constexpr std::size_t kInputReportSize = 65;    // report id 0, then 64 bytes
// Bounds a wait a passing test always sees end; it only keeps a failing one from hanging.
constexpr auto kEventWaitLimit = 30s;

// Vendor page, one application collection: 64 input bytes and 128 feature bytes, no report id.
constexpr uint8_t kReportDescriptor[] = {
    0x06, 0x00, 0xFF, // Usage Page (vendor 0xFF00)
    0x09, 0x01,       // Usage (1)
    0xA1, 0x01,       // Collection (Application)
    0x15, 0x00,       //   Logical Minimum (0)
    0x26, 0xFF, 0x00, //   Logical Maximum (255)
    0x75, 0x08,       //   Report Size (8)
    0x95, 0x40,       //   Report Count (64)
    0x09, 0x02,       //   Usage (2)
    0x81, 0x02,       //   Input (Data, Variable, Absolute)
    0x96, 0x80, 0x00, //   Report Count (128)
    0x09, 0x03,       //   Usage (3)
    0xB1, 0x02,       //   Feature (Data, Variable, Absolute)
    0xC0,             // End Collection
};

Report Pattern(std::size_t size, uint8_t first) {
    Report bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(first + i * 3);
    return bytes;
}

// The board's side: creates the device, answers the kernel's feature requests on a thread of
// its own, sends input reports, and goes away on request.
class UhidBoard {
  public:
    ~UhidBoard() {
        stopServing();
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // False when /dev/uhid cannot be opened here.
    bool openControl() {
        m_fd = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
        return m_fd >= 0;
    }

    bool create() {
        uhid_event event{};
        event.type = UHID_CREATE2;
        std::strncpy(reinterpret_cast<char *>(event.u.create2.name), "Pellorin uhid test",
                     sizeof event.u.create2.name - 1);
        std::memcpy(event.u.create2.rd_data, kReportDescriptor, sizeof kReportDescriptor);
        event.u.create2.rd_size = sizeof kReportDescriptor;
        event.u.create2.bus = BUS_USB;
        event.u.create2.vendor = kVendorId;
        event.u.create2.product = kProductId;
        if (!send(event))
            return false;
        m_serving = true;
        m_server = std::thread([this] { serve(); });
        return true;
    }

    bool sendInput(const Report &data) {
        uhid_event event{};
        event.type = UHID_INPUT2;
        event.u.input2.size = static_cast<uint16_t>(data.size());
        std::copy(data.begin(), data.end(), event.u.input2.data);
        return send(event);
    }

    bool remove() {
        uhid_event event{};
        event.type = UHID_DESTROY;
        return send(event);
    }

    void setFeatureReply(const Report &reply) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_featureReply = reply;
    }
    std::vector<Report> featureReportsSet() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_featureReportsSet;
    }

  private:
    bool send(const uhid_event &event) {
        return ::write(m_fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
    }

    void serve() {
        while (m_serving) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            uhid_event event{};
            if (::read(m_fd, &event, sizeof event) <= 0)
                continue;
            if (event.type == UHID_SET_REPORT) {
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    const auto &request = event.u.set_report;
                    m_featureReportsSet.emplace_back(request.data, request.data + request.size);
                }
                uhid_event reply{};
                reply.type = UHID_SET_REPORT_REPLY;
                reply.u.set_report_reply.id = event.u.set_report.id;
                send(reply);
            } else if (event.type == UHID_GET_REPORT) {
                uhid_event reply{};
                reply.type = UHID_GET_REPORT_REPLY;
                reply.u.get_report_reply.id = event.u.get_report.id;
                std::lock_guard<std::mutex> lock(m_mutex);
                reply.u.get_report_reply.size = static_cast<uint16_t>(m_featureReply.size());
                std::copy(m_featureReply.begin(), m_featureReply.end(),
                          reply.u.get_report_reply.data);
                send(reply);
            }
        }
    }

    void stopServing() {
        m_serving = false;
        if (m_server.joinable())
            m_server.join();
    }

    int m_fd = -1;
    std::atomic<bool> m_serving{false};
    std::thread m_server;
    mutable std::mutex m_mutex;
    Report m_featureReply;
    std::vector<Report> m_featureReportsSet;
};

// Whether the thread is blocked in poll: then a read has begun to wait.
bool ThreadIsPolling(pid_t thread) {
    std::ifstream file("/proc/self/task/" + std::to_string(thread) + "/syscall");
    long number = -1;
    file >> number;
#ifdef SYS_poll
    if (number == SYS_poll)
        return true;
#endif
    return number == SYS_ppoll;
}

struct UhidCase {
    const char *name;
    // The exchange with the open transport; its result code.
    std::function<int(UhidBoard &, firmware::HidapiTransport &)> exchange;
    int result;
};

void PrintTo(const UhidCase &c, std::ostream *os) {
    *os << c.name;
}

class HidapiUhidTest : public ::testing::TestWithParam<UhidCase> {
  protected:
    void SetUp() override {
        if (!m_board.openControl())
            GTEST_SKIP() << "/dev/uhid cannot be opened here";
        ASSERT_TRUE(m_board.create());
        // The kernel makes the hidraw node a little after the device: open once it is there.
        const auto deadline = std::chrono::steady_clock::now() + kEventWaitLimit;
        int opened = m_transport.open(kVendorId, kProductId);
        while (opened != firmware::result::kOk && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
            opened = m_transport.open(kVendorId, kProductId);
        }
        ASSERT_EQ(opened, firmware::result::kOk) << "hidapi never found the uhid device";
    }
    void TearDown() override {
        m_transport.close();
        m_board.remove();
    }

    UhidBoard m_board;
    firmware::HidapiTransport m_transport;
};

TEST_P(HidapiUhidTest, ReportsCrossAsTheUpdateExpects) {
    EXPECT_EQ(GetParam().exchange(m_board, m_transport), GetParam().result);
}

int SetFeature(UhidBoard &board, firmware::HidapiTransport &transport) {
    Report report = Pattern(kFeatureReportSize, 7);
    report[0] = 0;
    const int result = transport.sendFeatureReport(report.data(), report.size());
    EXPECT_EQ(board.featureReportsSet(), std::vector<Report>{report});
    return result;
}

int GetFeature(UhidBoard &board, firmware::HidapiTransport &transport) {
    Report reply = Pattern(kFeatureReportSize, 11);
    reply[0] = 0;
    board.setFeatureReply(reply);
    Report report(kFeatureReportSize, 0xEE);
    report[0] = 0;
    const int result = transport.getFeatureReport(report.data(), report.size());
    EXPECT_EQ(report, reply);
    return result;
}

int InputReport(UhidBoard &board, firmware::HidapiTransport &transport) {
    const Report sent = Pattern(kInputReportSize - 1, 0x5A);
    EXPECT_TRUE(board.sendInput(sent));
    Report report(kInputReportSize, 0xEE);
    const int result = transport.readInputReport(report.data(), report.size(), 30000);
    EXPECT_EQ(report[0], 0) << "the report id the update reads past";
    EXPECT_EQ(report[1], 0x5A) << "the tag";
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), report.begin() + 1));
    return result;
}

// Silence is the point: a short wait.
int NoReply(UhidBoard &, firmware::HidapiTransport &transport) {
    Report report(kInputReportSize, 0);
    return transport.readInputReport(report.data(), report.size(), 50);
}

// The device goes while the read waits on it: the read ends with the device failure at once,
// long before its 30 s are up.
int RemovedDuringARead(UhidBoard &board, firmware::HidapiTransport &transport) {
    const pid_t reader = static_cast<pid_t>(::syscall(SYS_gettid));
    std::thread remover([&board, reader] {
        const auto deadline = std::chrono::steady_clock::now() + kEventWaitLimit;
        while (!ThreadIsPolling(reader) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        board.remove();
    });
    Report report(kInputReportSize, 0);
    const int result = transport.readInputReport(report.data(), report.size(), 30000);
    remover.join();
    return result;
}

INSTANTIATE_TEST_SUITE_P(
    Exchanges, HidapiUhidTest,
    ::testing::Values(UhidCase{"SetFeature", SetFeature, firmware::result::kOk},
                      UhidCase{"GetFeature", GetFeature, firmware::result::kOk},
                      UhidCase{"InputReportTagAtByteOne", InputReport, firmware::result::kOk},
                      UhidCase{"NoReply", NoReply, firmware::result::kWaitTimeout},
                      UhidCase{"RemovedDuringARead", RemovedDuringARead,
                               firmware::result::kDeviceFailure}),
    [](const ::testing::TestParamInfo<UhidCase> &info) { return std::string(info.param.name); });

} // namespace
