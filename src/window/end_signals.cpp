#include "window/end_signals.h"

#include <cerrno>
#include <csignal>
#include <system_error>

namespace {

volatile std::sig_atomic_t end_signal = 0;

extern "C" void latch_end_signal(int) { end_signal = 1; }

void set_action(int signal_number, void (*handler)(int)) {
    struct sigaction action {};
    if (sigaction(signal_number, nullptr, &action) != 0)
        throw std::system_error(errno, std::generic_category(), "sigaction");
    if (action.sa_handler == SIG_IGN) return;
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (sigaction(signal_number, &action, nullptr) != 0)
        throw std::system_error(errno, std::generic_category(), "sigaction");
}

}  // namespace

void catch_end_signals() {
    for (const int signal_number : {SIGHUP, SIGINT, SIGTERM}) set_action(signal_number, latch_end_signal);
    set_action(SIGPIPE, SIG_IGN);
}

bool end_signal_received() { return end_signal != 0; }
