#include "model_helpers.h"

#include <gtest/gtest.h>

using namespace simtest;
using sim::BoardModel;
using sim::Chip;

namespace {

struct ReplyFaultCase {
    const char *name;
    sim::Faults faults;
    uint8_t code;
    Bytes reply;
    bool writeTakesEffect;
};

sim::Faults With(void (*set)(sim::Faults &)) {
    sim::Faults f;
    set(f);
    return f;
}

class ReplyFaults : public ::testing::TestWithParam<ReplyFaultCase> {};

// Each case writes 0x12 to OFC0 (55 01 01 05 12 E7), or sends a probe when code says so.
TEST_P(ReplyFaults, ShapeTheReply) {
    const ReplyFaultCase &c = GetParam();
    BoardModel model(Chip::VXC5480);
    model.chipState().poke(0x05, 0x00);
    model.setFaults(c.faults);
    const Bytes reply = c.code == 0x01 ? Command(model, 0x01, 0x05, 0x12) : Command(model, c.code);
    EXPECT_EQ(reply, c.reply);
    if (c.code == 0x01) {
        EXPECT_EQ(model.chipState().read(0x05), c.writeTakesEffect ? 0x12 : 0x00);
    }
    EXPECT_EQ(model.frames().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReplyFaults,
    ::testing::Values(ReplyFaultCase{"healthy", {}, 0x01, {0x00, 0x00, 0x18}, true},
                      ReplyFaultCase{
                          "silent", With([](sim::Faults &f) { f.silent = true; }), 0x01, {}, false},
                      ReplyFaultCase{"short_reply",
                                     With([](sim::Faults &f) { f.shortReplyCommand = 1; }),
                                     0x01,
                                     {0x00, 0x00},
                                     true},
                      ReplyFaultCase{"short_reply_other_code",
                                     With([](sim::Faults &f) { f.shortReplyCommand = 2; }),
                                     0x01,
                                     {0x00, 0x00, 0x18},
                                     true},
                      ReplyFaultCase{"bad_checksum",
                                     With([](sim::Faults &f) { f.badChecksumCommand = 1; }),
                                     0x01,
                                     {0x00, 0x00, 0x19},
                                     true},
                      ReplyFaultCase{"forced_status",
                                     With([](sim::Faults &f) { f.statusForCommand[1] = 2; }),
                                     0x01,
                                     {0x02, 0x00, 0x18},
                                     false},
                      ReplyFaultCase{"forced_status_probe",
                                     With([](sim::Faults &f) { f.statusForCommand[0xF0] = 7; }),
                                     0xF0,
                                     {0x07, 0x00, 0xF0},
                                     false},
                      ReplyFaultCase{"trailing_bytes",
                                     With([](sim::Faults &f) { f.trailingBytes = 2; }),
                                     0x01,
                                     {0x00, 0x00, 0x18, sim::kStrayByte, sim::kStrayByte},
                                     true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ReplyFaults, DelayIsCarriedByEveryReplyAndStreamStart) {
    BoardModel model(Chip::VXC5480);
    sim::Faults faults;
    faults.replyDelayMs = 40;
    model.setFaults(faults);
    const sim::Frame probe = sim::MakeFrame(1, 0xF0, 0, 0);
    const sim::Frame acquire = sim::MakeFrame(1, 0x0F, 0, 3);
    auto e = model.receive(probe.data(), probe.size());
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].delayMs, 40);
    e = model.receive(acquire.data(), acquire.size());
    ASSERT_EQ(e.size(), 1u);
    EXPECT_TRUE(e[0].startsStream);
    EXPECT_EQ(e[0].delayMs, 40);
}

} // namespace
