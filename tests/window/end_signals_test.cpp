// Signals that ask the program to end are latched; SIGPIPE no longer kills.
#include "window/end_signals.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

TEST(EndSignals, HangUpIsLatchedPipeIsIgnoredAnIgnoredSignalStaysIgnored) {
    std::signal(SIGINT, SIG_IGN);  // as in a background job of a script
    catch_end_signals();
    std::raise(SIGINT);
    EXPECT_FALSE(end_signal_received());
    std::raise(SIGHUP);
    EXPECT_TRUE(end_signal_received());

    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    EXPECT_EQ(write(ends[1], "x", 1), -1) << "the write fails instead of killing the process";
    EXPECT_EQ(errno, EPIPE);
    close(ends[1]);

    for (const int signal_number : {SIGHUP, SIGINT, SIGTERM, SIGPIPE}) std::signal(signal_number, SIG_DFL);
}

}  // namespace
