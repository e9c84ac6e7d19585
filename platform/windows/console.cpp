// The arguments come from the system's UTF-16 command line; the standard
// streams are switched to binary mode and the console to UTF-8.
#include <kxutils96/platform/console.h>

#include <kxutils96/platform/unicode.h>
#include <kxutils96/platform/windows/console_system.h>

namespace kxu::platform {

std::vector<std::string> Utf8Arguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::u16string> wide = windows::CommandLineArguments();
  std::vector<std::string> arguments;
  for (std::size_t i = 1; i < wide.size(); ++i) arguments.push_back(Utf16ToUtf8(wide[i]));
  return arguments;
}

void UseBinaryStandardStreams() noexcept {
  windows::UseBinaryStandardStreams();
}

bool IsStderrTerminal() noexcept {
  return windows::IsStderrTerminal();
}

}  // namespace kxu::platform
