// The arguments come from the system's UTF-16 command line; the standard
// streams are switched to binary mode and the console to UTF-8.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "console.h"

namespace kxu::tool {
namespace {

std::string Utf8FromWide(const wchar_t* text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string utf8(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();  // the terminator
  return utf8;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int /*argc*/, char** /*argv*/) {
  int nCount = 0;
  LPWSTR* ppArguments = ::CommandLineToArgvW(::GetCommandLineW(), &nCount);
  if (ppArguments == nullptr) return {};
  std::vector<std::string> arguments;
  for (int i = 1; i < nCount; ++i) arguments.push_back(Utf8FromWide(ppArguments[i]));
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

bool StdoutMayReachTerminal() noexcept {
  return _isatty(_fileno(stdout)) != 0 ||
         GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_PIPE;
}

}  // namespace kxu::tool
