// POSIX hands a program its arguments and streams as bytes already.
#include "console.h"

#include <sys/stat.h>
#include <unistd.h>

namespace kxu::tool {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

void UseBinaryStandardStreams() noexcept {}

bool IsStderrTerminal() noexcept {
  return isatty(STDERR_FILENO) == 1;
}

bool StdoutMayReachTerminal() noexcept {
  struct stat status {};
  return isatty(STDOUT_FILENO) == 1 || (fstat(STDOUT_FILENO, &status) == 0 &&
                                        (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)));
}

}  // namespace kxu::tool
