#include "model_helpers.h"

#include <gtest/gtest.h>

using namespace simtest;
using sim::BoardModel;
using sim::Chip;

namespace {

struct ReplyCase {
    const char *name;
    Bytes frame;
    Bytes reply;
};

class ReplyTable : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyTable, AnswersExactBytes) {
    BoardModel model(Chip::VXC5480);
    model.chipState().poke(0x0A, 0x3C);
    EXPECT_EQ(Send(model, GetParam().frame), GetParam().reply) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Vxc5480, ReplyTable,
    ::testing::Values(
        ReplyCase{"first probe", {0x55, 0x01, 0xF0, 0x00, 0x00, 0x0F}, {0x00, 0x00, 0xF0}},
        ReplyCase{"second probe", {0x55, 0x01, 0x0A, 0x00, 0x00, 0xF5}, {0x00, 0x00, 0x0A}},
        ReplyCase{"write OFC0", {0x55, 0x01, 0x01, 0x05, 0x12, 0xE7}, {0x00, 0x00, 0x18}},
        ReplyCase{"read FSC2", {0x55, 0x01, 0x02, 0x0A, 0x00, 0xF3}, {0x00, 0x3C, 0x48}},
        ReplyCase{"sum wraps", {0x55, 0x01, 0x01, 0xFF, 0x01, 0xFE}, {0x05, 0x00, 0x01}},
        ReplyCase{"wrong chip id", {0x55, 0x02, 0xF0, 0x00, 0x00, 0x0F}, {0x01, 0x00, 0xF0}},
        ReplyCase{"bad frame checksum", {0x55, 0x01, 0xF0, 0x00, 0x00, 0x00}, {0x04, 0x00, 0xF0}},
        ReplyCase{"unknown code", {0x55, 0x01, 0x0B, 0x00, 0x00, 0xF4}, {0x05, 0x00, 0x0B}},
        ReplyCase{"read past the map", {0x55, 0x01, 0x02, 0x0B, 0x00, 0xF2}, {0x05, 0x00, 0x0D}},
        ReplyCase{"mode on 8 channels", {0x55, 0x01, 0x0D, 0x03, 0x00, 0xEF}, {0x05, 0x00, 0x10}},
        ReplyCase{"two frames at once",
                  {0x55, 0x01, 0xF0, 0x00, 0x00, 0x0F, 0x55, 0x01, 0x0A, 0x00, 0x00, 0xF5},
                  {0x00, 0x00, 0xF0, 0x00, 0x00, 0x0A}},
        ReplyCase{"garbage before a frame",
                  {0x00, 0xAA, 0x55, 0x01, 0x55, 0x01, 0xF0, 0x00, 0x00, 0x0F},
                  {0x00, 0x00, 0xF0}},
        ReplyCase{
            "lead byte as a value", {0x55, 0x01, 0x01, 0x01, 0x55, 0xA8}, {0x00, 0x00, 0x57}}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(BoardModel, WriteStoresTheValueAndReadReturnsIt) {
    BoardModel model(Chip::VXC5480);
    Send(model, {0x55, 0x01, 0x01, 0x05, 0x12, 0xE7});
    EXPECT_EQ(model.chipState().read(0x05), 0x12);
    EXPECT_EQ(Command(model, 0x02, 0x05), (Bytes{0x00, 0x12, 0x19}));
}

TEST(BoardModel, WrongChipLeavesRegistersAlone) {
    BoardModel model(Chip::VXC5480);
    const uint8_t before = model.chipState().read(0x01);
    EXPECT_EQ(Send(model, {0x55, 0x02, 0x01, 0x01, 0x77, 0x86}), (Bytes{0x01, 0x00, 0x79}));
    EXPECT_EQ(model.chipState().read(0x01), before);
}

TEST(BoardModel, FramesSplitAcrossReadsAreJoined) {
    BoardModel model(Chip::VXC5480);
    EXPECT_TRUE(Send(model, {0x55, 0x01, 0xF0}).empty());
    EXPECT_EQ(Send(model, {0x00, 0x00, 0x0F}), (Bytes{0x00, 0x00, 0xF0}));
    EXPECT_EQ(model.frames().size(), 1u);
}

TEST(BoardModel, StaleFragmentBeforeANewFrameIsDropped) {
    BoardModel model(Chip::VXC5480);
    Send(model, {0x55, 0x01, 0x02}); // the rest never came
    EXPECT_EQ(Send(model, {0x55, 0x01, 0x02, 0x0A, 0x00, 0xF3}).size(), 3u);
    ASSERT_EQ(model.frames().size(), 1u);
    EXPECT_EQ(model.frames()[0][2], 0x02);
    EXPECT_EQ(model.frames()[0][3], 0x0A);
}

TEST(BoardModel, BadFrameWithInnerLeadIsJudgedWhenTheLineGoesQuiet) {
    BoardModel model(Chip::VXC5480);
    // The 0x55 inside might start the real frame, so the board waits for more bytes.
    EXPECT_TRUE(Send(model, {0x55, 0x01, 0x01, 0x55, 0x00, 0x00}).empty());
    EXPECT_EQ(Concat(model.lineIdle()), (Bytes{0x04, 0x00, 0x56}));
    EXPECT_EQ(model.frames().size(), 1u);
    EXPECT_FALSE(model.hasPendingInput());
}

TEST(BoardModel, EveryTakenFrameIsRecordedEvenUnanswered) {
    BoardModel model(Chip::VXC5480);
    sim::Faults faults;
    faults.silent = true;
    model.setFaults(faults);
    EXPECT_TRUE(Command(model, 0xF0).empty());
    EXPECT_TRUE(Command(model, 0x01, 0x01, 0x23).empty());
    EXPECT_EQ(model.frames().size(), 2u);
    EXPECT_EQ(model.chipState().read(0x01), 0x01) << "a silent bridge does nothing";
}

} // namespace
