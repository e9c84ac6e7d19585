// The running program's file, from the system's GetModuleFileNameW.
#include "support/program_path.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace kxu::test {

std::filesystem::path ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD nLength =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (nLength == 0) throw std::runtime_error("GetModuleFileNameW failed");
    if (nLength < path.size()) {
      path.resize(nLength);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: try again with more room
  }
}

}  // namespace kxu::test
