// The order "Detect EVM" tries ports in, from what the system lists.

#include "link/serial_transport.h"

#include <gtest/gtest.h>

namespace {
struct Case {
    const char *what;
    QStringList preferred;
    QList<ListedPort> listed;
    QStringList expected;
};

TEST(PortOrder, PreferredThenUsbThenTheRestEachSortedByName) {
    const Case cases[] = {
        {"nothing listed", {}, {}, {}},
        {"a silent legacy port waits behind the USB bridges",
         {},
         {{"/dev/ttyS0", false}, {"/dev/ttyUSB0", true}, {"/dev/ttyACM0", true}},
         {"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyS0"}},
        {"each group sorted by name",
         {},
         {{"/dev/ttyS1", false},
          {"/dev/ttyUSB1", true},
          {"/dev/ttyS0", false},
          {"/dev/ttyUSB0", true}},
         {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyS1"}},
        {"--port paths first, in the order given",
         {"/dev/pts/7", "/dev/ttyS3"},
         {{"/dev/ttyS0", false}, {"/dev/ttyACM0", true}},
         {"/dev/pts/7", "/dev/ttyS3", "/dev/ttyACM0", "/dev/ttyS0"}},
        {"a --port path the system also lists is tried once, first",
         {"/dev/ttyS0"},
         {{"/dev/ttyS0", false}, {"/dev/ttyUSB0", true}},
         {"/dev/ttyS0", "/dev/ttyUSB0"}},
        {"only legacy ports",
         {},
         {{"/dev/ttyS1", false}, {"/dev/ttyS0", false}},
         {"/dev/ttyS0", "/dev/ttyS1"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(OrderPortCandidates(c.preferred, c.listed), c.expected);
    }
}

TEST(PortOrder, AtMost256Candidates) {
    QList<ListedPort> listed;
    for (int n = 0; n < 300; ++n)
        listed.append({QStringLiteral("/dev/ttyS%1").arg(n, 3, 10, QChar(u'0')), false});
    const QStringList names = OrderPortCandidates({QStringLiteral("/dev/first")}, listed);
    ASSERT_EQ(names.size(), kMaxPortCandidates);
    EXPECT_EQ(names.front(), QStringLiteral("/dev/first"));
    EXPECT_EQ(names.back(), QStringLiteral("/dev/ttyS254"));
}
} // namespace
