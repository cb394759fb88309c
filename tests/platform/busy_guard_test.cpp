// The scoped guard of the busy flags: who may take a flag, and that only its holder clears it.

#include "platform/busy_flags.h"

#include <gtest/gtest.h>

namespace {
struct Flags {
    int own = 0;
    int other = 0;
};

struct GuardCase {
    const char *what;
    int own;   // the flag's value before
    int other; // the value of the flag the operation keeps away from
    bool held;
};

class BusyGuardTable : public ::testing::TestWithParam<GuardCase> {};
} // namespace

TEST_P(BusyGuardTable, TakesTheFlagOnlyWhenNothingStandsInTheWay) {
    const GuardCase &c = GetParam();
    Flags flags{c.own, c.other};
    {
        const BusyGuard guard(flags.own, {&flags.other});
        EXPECT_EQ(guard.held(), c.held);
        EXPECT_EQ(flags.own, c.held ? 1 : c.own);
    }
    // Only the guard that set the flag clears it: a refused one leaves the running operation's.
    EXPECT_EQ(flags.own, c.held ? 0 : c.own);
    EXPECT_EQ(flags.other, c.other);
}

INSTANTIATE_TEST_SUITE_P(Cases, BusyGuardTable,
                         ::testing::Values(GuardCase{"Free", 0, 0, true},
                                           GuardCase{"RunningAlready", 1, 0, false},
                                           GuardCase{"OtherRunning", 0, 1, false}),
                         [](const auto &info) { return std::string(info.param.what); });

TEST(BusyGuard, ASecondOperationInsideTheFirstIsRefusedAndTheFirstStillEndsClean) {
    int flag = 0;
    {
        const BusyGuard first(flag);
        ASSERT_TRUE(first);
        // What a handler run from a message box or the event pump meets.
        const BusyGuard second(flag);
        EXPECT_FALSE(second);
        EXPECT_EQ(flag, 1);
    }
    EXPECT_EQ(flag, 0);
}
