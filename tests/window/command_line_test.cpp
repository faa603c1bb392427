// The arguments and the help in each platform's conventions: /? only on
// Windows, signals named only where there are signals.
#include "window/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

TEST(CommandLine, NoArgumentsOpenTheWindowHelpAndVersionDoNot) {
    EXPECT_TRUE(read_command_line(Arguments{}).open_window);
    const CommandLine version = read_command_line(Arguments{"--version"});
    EXPECT_FALSE(version.open_window);
    EXPECT_EQ(version.exit_status, 0);
    EXPECT_EQ(version.out, "rotary-envelope " ROTARY_VERSION "\n");
    for (const char* help : {"--help", "-h"}) {
        EXPECT_NE(read_command_line(Arguments{help}).out.find("Usage: rotary-envelope"), std::string::npos) << help;
    }
}

TEST(CommandLine, OnPosixTheHelpNamesEverySignalThatEndsWithStatusZeroAndSlashQuestionIsRefused) {
    const std::string help = read_command_line(Arguments{"--help"}, Conventions::posix).out;
    EXPECT_NE(help.find("  0  the window was quit, closed or destroyed, or a signal asked the program\n"
                        "     to end (SIGHUP, SIGINT or SIGTERM)"),
              std::string::npos)
        << help;
    EXPECT_NE(help.find("  Escape, or a double-click\n                    quit\n"), std::string::npos) << help;
    const CommandLine refused = read_command_line(Arguments{"/?"}, Conventions::posix);
    EXPECT_EQ(refused.exit_status, 2);
    EXPECT_EQ(refused.err, "rotary-envelope: unknown argument '/?' (try 'rotary-envelope --help')\n");
}

TEST(CommandLine, OnWindowsSlashQuestionIsHelpWithoutSignalsOrColumns) {
    const CommandLine help = read_command_line(Arguments{"/?"}, Conventions::windows);
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_EQ(help.out, read_command_line(Arguments{"--help"}, Conventions::windows).out);
    EXPECT_EQ(help.out.find("SIG"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("Usage: rotary-envelope [/? | --help | --version]\n"), std::string::npos);
    EXPECT_NE(help.out.find("\n  , (comma): slower\n"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("\n  0: the window was quit or closed;"), std::string::npos) << help.out;
}

TEST(CommandLine, AnUnknownArgumentIsNamedAsGiven) {
    const CommandLine refused = read_command_line(Arguments{"--help", "\xC3\xBC\xE2\x82\xAC"});  // u umlaut, euro
    EXPECT_FALSE(refused.open_window);
    EXPECT_EQ(refused.exit_status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("'\xC3\xBC\xE2\x82\xAC'"), std::string::npos) << refused.err;
}

}  // namespace
