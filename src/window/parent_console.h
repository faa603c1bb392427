// A Windows GUI program has no console of its own. Started from one (a
// command prompt, PowerShell), what it prints for --help, --version or an
// error is to appear there all the same. Elsewhere this does nothing:
// standard output and standard error are where they always are.
#pragma once

#ifdef _WIN32
// Sends standard output and standard error that were not redirected to the
// console of the process that started the program, if it has one.
void use_parent_console();
#else
inline void use_parent_console() {}
#endif
