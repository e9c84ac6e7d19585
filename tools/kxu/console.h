// What a command-line program needs from the system to pass texts through
// unchanged: its arguments as UTF-8, standard streams that carry bytes as
// they are, and whether a person watches stderr.
#pragma once

#include <string>
#include <vector>

namespace kxu::tool {

// The program's arguments after its name, as UTF-8. On POSIX these are argv
// as given; on Windows they are read from the system's UTF-16 command line,
// because argv there holds them in the ANSI code page, which cannot spell
// every name.
// Example: `kxu relpath "C:\\Données" x` gives {"relpath", "C:\\Données", "x"}.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes stdin, stdout and stderr carry bytes unchanged: no line-end
// translation on Windows, and a console that shows UTF-8. Nothing to do on
// POSIX.
void UseBinaryStandardStreams() noexcept;

// True when stderr is a terminal (or console) that a person may be watching.
bool IsStderrTerminal() noexcept;

// True when what is written to stdout may show on a terminal: stdout is one,
// or a pipe (or socket) whose reader may pass it on to one.
bool StdoutMayReachTerminal() noexcept;

}  // namespace kxu::tool
