#include "firmware/hidapi_transport.h"
#include "firmware/update_codes.h"
#include "update_fixture.h"

using namespace firmware;

namespace {
struct SliceCase {
    std::size_t length;
    std::size_t reports;
    std::size_t lastDataBytes;
};

class SlicingTest : public UpdateTest, public ::testing::WithParamInterface<SliceCase> {};
} // namespace

TEST_P(SlicingTest, BlocksGoOutIn128ByteSlicesPaddedWithZeros) {
    const SliceCase c = GetParam();
    ASSERT_EQ(OpenUpdateDevice(), 0);
    std::vector<uint8_t> block(c.length);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 7 + 1); // no zero where data should be
    EXPECT_EQ(SendFeature(block.data(), block.size()), 0);
    EXPECT_EQ(CloseUpdateDevice(), 0);

    const auto &reports = board().featureReports();
    ASSERT_EQ(reports.size(), c.reports);
    EXPECT_EQ(FeatureReportCount(c.length), c.reports);
    for (std::size_t r = 0; r < reports.size(); ++r) {
        ASSERT_EQ(reports[r].size(), 129u);
        EXPECT_EQ(reports[r][0], 0) << "report id, report " << r;
        const std::size_t data = r + 1 == reports.size() ? c.lastDataBytes : 128;
        for (std::size_t i = 0; i < 128; ++i) {
            const uint8_t expected = i < data ? block[r * 128 + i] : 0;
            ASSERT_EQ(reports[r][1 + i], expected) << "report " << r << " byte " << i + 1;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, SlicingTest,
                         ::testing::Values(SliceCase{0, 0, 0}, SliceCase{36, 1, 36},
                                           SliceCase{128, 1, 128}, SliceCase{129, 2, 1},
                                           SliceCase{32644, 256, 4}));

TEST_F(UpdateTest, OpensTheFirstProductIdWhenPresent) {
    EXPECT_EQ(OpenUpdateDevice(), 0);
    EXPECT_TRUE(g_hidDevice.open);
    EXPECT_EQ(g_hidDevice.vendorId, UpdateVendorId());
    EXPECT_EQ(g_hidDevice.productId, kFirstProductId);
    EXPECT_TRUE(board().isOpen());
    EXPECT_EQ(CloseUpdateDevice(), 0);
    // Closing twice does nothing.
    EXPECT_EQ(CloseUpdateDevice(), 0);
    EXPECT_EQ(board().closeCount(), 1);
    EXPECT_EQ(g_hidDevice.vendorId, 0);
    EXPECT_EQ(g_hidDevice.productId, 0);
}

TEST_F(UpdateTest, FallsBackToTheSecondProductId) {
    faults().productId = kSecondProductId;
    applyFaults();
    EXPECT_EQ(OpenUpdateDevice(), 0);
    EXPECT_EQ(g_hidDevice.productId, kSecondProductId);
    EXPECT_EQ(CloseUpdateDevice(), 0);
}

TEST_F(UpdateTest, NoDeviceUnderEitherId) {
    faults().absent = true;
    applyFaults();
    EXPECT_EQ(OpenUpdateDevice(), result::kNoUpdateDevice);
    EXPECT_FALSE(g_hidDevice.open);
    faults().absent = false;
    faults().productId = 0x0326; // another product of the same vendor is not ours
    applyFaults();
    EXPECT_EQ(OpenUpdateDevice(), result::kNoUpdateDevice);
    EXPECT_EQ(board().openCount(), 0);
}

TEST_F(UpdateTest, AReplyThatNeverComesTimesOut) {
    ASSERT_EQ(OpenUpdateDevice(), 0);
    g_hidDevice.receiveBuffer.fill(0xAA);
    EXPECT_EQ(ReadInputReport(), result::kWaitTimeout);
    // The buffer is cleared before the read, so nothing stale is taken for a reply.
    for (uint8_t b : g_hidDevice.receiveBuffer)
        EXPECT_EQ(b, 0);
    EXPECT_EQ(CloseUpdateDevice(), 0);
}

TEST(HidapiTransport, FindsNoDeviceForAnAbsentVendorThroughTheRealLibrary) {
    HidapiTransport hidapi;
    SetHidTransport(&hidapi);
    // The configured placeholder vendor id names no device on this machine.
    EXPECT_EQ(OpenUpdateDevice(), result::kNoUpdateDevice);
    EXPECT_FALSE(g_hidDevice.open);
    EXPECT_EQ(CloseUpdateDevice(), 0);
    SetHidTransport(nullptr);
    // The program's default transport is hidapi too.
    EXPECT_EQ(OpenUpdateDevice(), result::kNoUpdateDevice);
}

TEST(HidapiTransport, TransfersWithoutADeviceFail) {
    HidapiTransport hidapi;
    uint8_t report[129] = {};
    EXPECT_EQ(hidapi.sendFeatureReport(report, sizeof report), result::kDeviceFailure);
    EXPECT_EQ(hidapi.getFeatureReport(report, sizeof report), result::kDeviceFailure);
    EXPECT_EQ(hidapi.readInputReport(report, 65, 1), result::kDeviceFailure);
    EXPECT_EQ(hidapi.open(0, 0x0325), result::kNoMoreItems); // never "any vendor"
    EXPECT_EQ(hidapi.close(), 0);
}
