// POSIX hands a program its arguments and streams as bytes already.
#include "console.h"

#include <unistd.h>

namespace kxu::tool {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

void UseBinaryStandardStreams() noexcept {}

bool IsStderrTerminal() noexcept {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace kxu::tool
