// Signals that ask the program to end: the terminal closing (SIGHUP), an
// interrupt (SIGINT) and a request to terminate (SIGTERM). Each is latched,
// and the next event pump ends the program as if its window were closed,
// with status 0. A write to a closed pipe or socket (SIGPIPE) fails where it
// is made instead of killing the program. SIGQUIT keeps its default: it asks
// for a core dump to debug with, not for an orderly end.
#pragma once

#ifdef _WIN32
// Windows sends a GUI program no signals: closing it from the taskbar or the
// task manager arrives as a close message, which SDL turns into SDL_QUIT, and
// ending the session ends the process, which has nothing to save.
inline void catch_end_signals() {}
inline bool end_signal_received() { return false; }
#else
// Installs the handlers; a signal the program was started with ignored
// (nohup, a background job of a script) stays ignored. Throws
// std::system_error when sigaction fails.
void catch_end_signals();
// Whether one of those signals has arrived.
bool end_signal_received();
#endif
