#include "model_helpers.h"

#include <gtest/gtest.h>

using namespace simtest;
using sim::BoardModel;
using sim::Chip;

namespace {

TEST(AcquisitionStream, SendsCountItemsWithChecksumsAndNoStatusReply) {
    BoardModel model(Chip::VXC5480);
    const auto emissions =
        model.receive(std::array<uint8_t, 6>{0x55, 0x01, 0x0F, 0x00, 0x2D, 0xC3}.data(), 6);
    ASSERT_EQ(emissions.size(), 1u);
    EXPECT_TRUE(emissions[0].startsStream);
    EXPECT_TRUE(emissions[0].bytes.empty()) << "items only, no status reply";
    const Bytes items = DrainStream(model);
    ASSERT_EQ(items.size(), 45u * 4);
    for (size_t i = 0; i < items.size(); i += 4) {
        EXPECT_EQ(items[i + 3], static_cast<uint8_t>(items[i] + items[i + 1] + items[i + 2]));
        // AIN0 - AIN1 = -5 mV at PGA 1 and a 2.5 V reference: about -8389 codes, with the
        // noise of 30000 SPS.
        EXPECT_NEAR(ItemValue(&items[i]), -8389, 1500) << "item " << i / 4;
    }
    EXPECT_FALSE(model.streaming());
}

TEST(AcquisitionStream, CountUsesBothParameterBytes) {
    BoardModel model(Chip::VXC5420);
    Command(model, 0x0F, 0x01, 0x02);
    EXPECT_EQ(DrainStream(model).size(), 258u * 4);
    Command(model, 0x0F, 0x00, 0x00);
    EXPECT_TRUE(DrainStream(model).empty());
}

TEST(AcquisitionStream, ANewFrameEndsTheStream) {
    BoardModel model(Chip::VXC5480);
    Command(model, 0x0F, 0x00, 0x10);
    sim::StreamStep step;
    ASSERT_TRUE(model.nextStreamStep(step));
    EXPECT_EQ(Command(model, 0xF0), (Bytes{0x00, 0x00, 0xF0}));
    EXPECT_FALSE(model.nextStreamStep(step));
}

TEST(AcquisitionStream, WrongChipGetsNoItems) {
    BoardModel model(Chip::VXC5480);
    EXPECT_TRUE(Send(model, {0x55, 0x02, 0x0F, 0x00, 0x2D, 0xC3}).empty());
    EXPECT_FALSE(model.streaming());
}

struct StreamFaultCase {
    const char *name;
    sim::Faults faults;
    size_t expectedBytes;
    int badChecksumItem; // -1: every item good
    bool hangUp;
};

class StreamFaults : public ::testing::TestWithParam<StreamFaultCase> {};

sim::Faults With(void (*set)(sim::Faults &)) {
    sim::Faults f;
    set(f);
    return f;
}

TEST_P(StreamFaults, ShapeTheItemStream) {
    const StreamFaultCase &c = GetParam();
    BoardModel model(Chip::VXC5480);
    model.setFaults(c.faults);
    Command(model, 0x0F, 0x00, 0x0A);
    bool hungUp = false;
    const Bytes items = DrainStream(model, &hungUp);
    EXPECT_EQ(items.size(), c.expectedBytes);
    EXPECT_EQ(hungUp, c.hangUp);
    for (size_t i = 0; i + 4 <= items.size(); i += 4) {
        const bool good =
            items[i + 3] == static_cast<uint8_t>(items[i] + items[i + 1] + items[i + 2]);
        EXPECT_EQ(good, static_cast<int>(i / 4) != c.badChecksumItem) << "item " << i / 4;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, StreamFaults,
    ::testing::Values(
        StreamFaultCase{"healthy", {}, 40, -1, false},
        StreamFaultCase{"bad_item", With([](sim::Faults &f) { f.badItemIndex = 3; }), 40, 3, false},
        StreamFaultCase{"stop_after", With([](sim::Faults &f) { f.stopAfterItems = 4; }), 16, -1,
                        false},
        StreamFaultCase{"short_item", With([](sim::Faults &f) { f.shortItemIndex = 2; }), 10, -1,
                        false},
        StreamFaultCase{"hang_up", With([](sim::Faults &f) { f.hangUpAfterItems = 5; }), 20, -1,
                        true},
        StreamFaultCase{"hang_up_at_once", With([](sim::Faults &f) { f.hangUpAfterItems = 0; }), 0,
                        -1, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(AcquisitionStream, ForcedStatusAnswersInsteadOfItems) {
    BoardModel model(Chip::VXC5480);
    sim::Faults faults;
    faults.statusForCommand[0x0F] = 2;
    model.setFaults(faults);
    EXPECT_EQ(Command(model, 0x0F, 0x00, 0x2D), (Bytes{0x02, 0x00, 0x3C}));
    EXPECT_FALSE(model.streaming());
}

} // namespace
