// A status forced for one register address: only reads and writes of that address fail, and
// a failed write leaves the register as it was.

#include "model_helpers.h"

#include <gtest/gtest.h>

#include <map>

using namespace simtest;
using sim::BoardModel;
using sim::Chip;

namespace {

struct AddressFaultCase {
    const char *name;
    std::map<int, int> statusForAddress;
    Bytes frame;  // sent as is (chip id 1)
    Bytes reply;  // the board's answer
    uint8_t ofc0; // OFC0 (0x05) afterwards; it starts at 0x34
};

Bytes FrameBytes(uint8_t code, uint8_t param1, uint8_t param2) {
    const sim::Frame f = sim::MakeFrame(1, code, param1, param2);
    return Bytes(f.begin(), f.end());
}

class AddressFaults : public ::testing::TestWithParam<AddressFaultCase> {};

TEST_P(AddressFaults, FailOnlyThatAddress) {
    const AddressFaultCase &c = GetParam();
    BoardModel model(Chip::VXC5480);
    model.chipState().poke(0x05, 0x34);
    sim::Faults faults;
    faults.statusForAddress = c.statusForAddress;
    model.setFaults(faults);
    EXPECT_EQ(Send(model, c.frame), c.reply);
    EXPECT_EQ(model.chipState().read(0x05), c.ofc0);
    EXPECT_EQ(model.frames().size(), 1u);
}

// Replies: status, data, code + param1 + (data for a read, param2 otherwise).
INSTANTIATE_TEST_SUITE_P(
    Vxc5480, AddressFaults,
    ::testing::Values(
        AddressFaultCase{"write_faulted", {{5, 2}}, FrameBytes(1, 5, 0x12), {2, 0, 0x18}, 0x34},
        AddressFaultCase{"write_other", {{4, 2}}, FrameBytes(1, 5, 0x12), {0, 0, 0x18}, 0x12},
        AddressFaultCase{"read_faulted", {{5, 3}}, FrameBytes(2, 5, 0), {3, 0, 0x07}, 0x34},
        AddressFaultCase{"read_other", {{6, 3}}, FrameBytes(2, 5, 0), {0, 0x34, 0x3B}, 0x34},
        AddressFaultCase{
            "several_addresses", {{4, 1}, {5, 2}}, FrameBytes(1, 5, 0x12), {2, 0, 0x18}, 0x34},
        AddressFaultCase{
            "zero_status_is_healthy", {{5, 0}}, FrameBytes(1, 5, 0x12), {0, 0, 0x18}, 0x12},
        // A probe and a calibration carry 0 in the address byte and are not register access.
        AddressFaultCase{"probe_untouched", {{0, 2}}, FrameBytes(0xF0, 0, 0), {0, 0, 0xF0}, 0x34},
        AddressFaultCase{
            "standby_untouched", {{0, 2}}, FrameBytes(0x08, 0, 0), {0, 0, 0x08}, 0x34}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(AddressFaults, CommandFaultStillWinsOverTheAddress) {
    BoardModel model(Chip::VXC5480);
    sim::Faults faults;
    faults.statusForCommand[1] = 7;
    faults.statusForAddress[5] = 2;
    model.setFaults(faults);
    EXPECT_EQ(Command(model, 1, 5, 0x12), (Bytes{7, 0, 0x18}));
}

} // namespace
