// The system calls behind console.h on Windows, with plain C++ types so that
// their callers need not see <windows.h>.
#pragma once

#include <string>
#include <vector>

namespace kxu::platform::windows {

// The program's command line split as the system splits it, the program's
// own name first; empty when the system cannot tell.
std::vector<std::u16string> CommandLineArguments();

// stdin, stdout and stderr in binary mode; console output in UTF-8.
void UseBinaryStandardStreams() noexcept;

bool IsStderrTerminal() noexcept;

}  // namespace kxu::platform::windows
