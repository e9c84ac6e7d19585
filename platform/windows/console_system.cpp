// The only translation unit of the console bridge that sees <windows.h>.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include <kxutils96/platform/windows/console_system.h>

namespace kxu::platform::windows {

std::vector<std::u16string> CommandLineArguments() {
  int nCount = 0;
  LPWSTR* ppArguments = ::CommandLineToArgvW(::GetCommandLineW(), &nCount);
  if (ppArguments == nullptr) return {};
  std::vector<std::u16string> arguments;
  arguments.reserve(static_cast<std::size_t>(nCount));
  for (int i = 0; i < nCount; ++i) {
    arguments.emplace_back(reinterpret_cast<const char16_t*>(ppArguments[i]));
  }
  ::LocalFree(static_cast<HLOCAL>(ppArguments));
  return arguments;
}

void UseBinaryStandardStreams() noexcept {
  for (std::FILE* stream : {stdin, stdout, stderr}) _setmode(_fileno(stream), _O_BINARY);
  ::SetConsoleOutputCP(CP_UTF8);
}

bool IsStderrTerminal() noexcept {
  return _isatty(_fileno(stderr)) != 0;
}

}  // namespace kxu::platform::windows
