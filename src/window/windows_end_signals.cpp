#include "window/end_signals.h"

// Windows sends a GUI program no signals: closing it from the taskbar or the
// task manager arrives as a close message, which SDL turns into SDL_QUIT, and
// ending the session ends the process, which has nothing to save.
void catch_end_signals() {}

bool end_signal_received() { return false; }
