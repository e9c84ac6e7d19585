// The command goes to /bin/sh through std::system, whose result is a wait
// status.
#include "support/run_in_folder.h"

#include <sys/wait.h>

#include <cstdlib>

namespace kxu::test {
namespace {

// Quotes `text` for the POSIX shell.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char ch : text) quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
  return quoted + "'";
}

}  // namespace

int RunInFolder(const std::filesystem::path& folder, const std::filesystem::path& program,
                const std::vector<std::string>& args) {
  std::string command = "cd " + ShellQuoted(folder.string()) + " && " + ShellQuoted(program);
  for (const std::string& arg : args) command += " " + ShellQuoted(arg);
  command += " <stdin >stdout 2>stderr";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace kxu::test
