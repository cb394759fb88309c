#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {
struct Case {
    QStringList arguments;
    QStringList ports;
    bool simulate;
    QString chip;
    bool error;
};
} // namespace

TEST(CommandLine, ReadsPortsAndSimulation) {
    const Case cases[] = {
        {{}, {}, false, {}, false},
        {{"--port", "/dev/ttyUSB0"}, {"/dev/ttyUSB0"}, false, {}, false},
        {{"--port", "/dev/a", "--port=/dev/b"}, {"/dev/a", "/dev/b"}, false, {}, false},
        {{"--simulate"}, {}, true, "VXC5480", false},
        {{"--simulate=VXC5420"}, {}, true, "VXC5420", false},
        {{"--simulate=vxc5420", "--port", "/dev/x"}, {"/dev/x"}, true, "VXC5420", false},
        {{"--simulate=VXC9999"}, {}, true, {}, true},
        {{"--simulate", "VXC5420"}, {}, true, {}, true},
        {{"--port"}, {}, false, {}, true},
        {{"--port="}, {}, false, {}, true},
        {{"--frobnicate"}, {}, false, {}, true},
        {{"stray"}, {}, false, {}, true},
    };
    for (const Case &c : cases) {
        const StartOptions options = ParseCommandLine(c.arguments);
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        EXPECT_EQ(options.error.isEmpty(), !c.error);
        if (c.error)
            continue;
        EXPECT_EQ(options.ports, c.ports);
        EXPECT_EQ(options.simulate, c.simulate);
        EXPECT_EQ(options.simulatedChip, c.chip);
    }
}

TEST(CommandLine, DetectAndQuitIsAnOptionOfItsOwn) {
    EXPECT_FALSE(ParseCommandLine({}).detectAndQuit);
    const StartOptions options =
        ParseCommandLine({QStringLiteral("--simulate"), QStringLiteral("--detect-and-quit")});
    EXPECT_TRUE(options.error.isEmpty());
    EXPECT_TRUE(options.detectAndQuit);
    EXPECT_TRUE(options.simulate);
    EXPECT_TRUE(CommandLineUsage().contains(QStringLiteral("--detect-and-quit")));
}

TEST(CommandLine, ReadsTheFirmwareImage) {
    struct ImageCase {
        QStringList arguments;
        QString image;
        bool error;
    };
    const ImageCase cases[] = {
        {{}, {}, false},
        {{"--firmware-image", "/tmp/a.bin"}, "/tmp/a.bin", false},
        {{"--firmware-image=/tmp/b.bin", "--simulate"}, "/tmp/b.bin", false},
        {{"--firmware-image"}, {}, true},
        {{"--firmware-image="}, {}, true},
    };
    for (const ImageCase &c : cases) {
        const StartOptions options = ParseCommandLine(c.arguments);
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        EXPECT_EQ(options.error.isEmpty(), !c.error);
        if (!c.error) {
            EXPECT_EQ(options.firmwareImage, c.image);
        }
    }
}

TEST(CommandLine, ReadsTheSimulatedSine) {
    const StartOptions sine = ParseCommandLine({"--simulate", "--sine=12.5:0.25"});
    EXPECT_TRUE(sine.error.isEmpty()) << sine.error.toStdString();
    EXPECT_DOUBLE_EQ(sine.sineHz, 12.5);
    EXPECT_DOUBLE_EQ(sine.sineVolts, 0.25);
    // A sine for a real board, or one that cannot be read, is refused.
    for (const QStringList &bad :
         {QStringList{"--sine=10:1"}, QStringList{"--simulate", "--sine=10"},
          QStringList{"--simulate", "--sine=0:1"}, QStringList{"--simulate", "--sine=10:-1"},
          QStringList{"--simulate", "--sine=ten:1"}, QStringList{"--simulate", "--sine=10:1V"}})
        EXPECT_FALSE(ParseCommandLine(bad).error.isEmpty()) << bad.join(u' ').toStdString();
}

// The simulated board is real-paced unless told otherwise; a pace needs a board to pace.
TEST(CommandLine, ReadsTheSimulatedPace) {
    struct PaceCase {
        QStringList arguments;
        sim::Pacing pacing;
        bool error;
    };
    const PaceCase cases[] = {
        {{"--simulate"}, sim::Pacing::Real, false},
        {{"--simulate", "--pace=none"}, sim::Pacing::None, false},
        {{"--pace=wire", "--simulate=VXC5420"}, sim::Pacing::Wire, false},
        {{"--simulate", "--pace", "real"}, sim::Pacing::Real, false},
        {{"--pace=none"}, {}, true},
        {{"--simulate", "--pace=fast"}, {}, true},
        {{"--simulate", "--pace="}, {}, true},
    };
    for (const PaceCase &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const StartOptions options = ParseCommandLine(c.arguments);
        EXPECT_EQ(options.error.isEmpty(), !c.error) << options.error.toStdString();
        if (!c.error) {
            EXPECT_EQ(options.pacing, c.pacing);
        }
    }
}

// A value that begins with "--" is an option the user meant, not a value: refused, naming both.
TEST(CommandLine, RefusesAValueThatBeginsWithTwoDashes) {
    const QStringList cases[] = {
        {"--port", "--simulate"},
        {"--port=--simulate"},
        {"--port", "--"},
        {"--firmware-image", "--detect-and-quit"},
        {"--simulate", "--sine", "--port"},
        {"--simulate", "--sine=--1:1"},
    };
    for (const QStringList &arguments : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const StartOptions options = ParseCommandLine(arguments);
        EXPECT_TRUE(options.error.contains(QStringLiteral("needs a value, not --")))
            << options.error.toStdString();
    }
    // The message names the word as it was typed.
    EXPECT_EQ(
        ParseCommandLine({"--port", "--simulate"}).error,
        QStringLiteral("--port needs a value, not --simulate (a value never begins with --)"));
    // "-" alone, or a single dash, is a value like any other.
    EXPECT_EQ(ParseCommandLine({"--port", "-"}).ports, QStringList{"-"});
}

TEST(CommandLine, UsageNamesEveryOption) {
    const QString usage = CommandLineUsage();
    for (const char *option : {"--port PATH", "--simulate", "--sine=F:A", "--pace=MODE",
                               "--detect-and-quit", "--firmware-image PATH", "--help", "--version"})
        EXPECT_TRUE(usage.contains(QLatin1String(option))) << option;
    EXPECT_TRUE(usage.startsWith(QStringLiteral("Usage: Pellorin ")));
}
