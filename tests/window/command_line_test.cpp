// The arguments and the help in each platform's conventions: /? only on
// Windows, signals named only where there are signals.
#include "window/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

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

}  // namespace
