// LoadLibraryW and GetProcAddress over dlopen and dlsym.
#include <kxutils96/platform/win_module.h>

#include <dlfcn.h>
#include <strings.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include <kxutils96/platform/unicode.h>
#include <kxutils96/platform/win_error.h>

namespace {

// The folder of the running program, with a trailing slash; empty when the
// system cannot tell.
std::string ProgramFolder() {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<size_t>(n) >= path.size()) return {};
  path.resize(static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

// "dir/NAME.dll" -> {"dir/", "libNAME.so"}.
std::pair<std::string, std::string> SharedObjectName(const std::string& name) {
  const size_t slash = name.find_last_of("/\\");
  std::string folder = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
  for (char& ch : folder) {
    if (ch == '\\') ch = '/';
  }
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  if (base.size() > 4 && strcasecmp(base.c_str() + base.size() - 4, ".dll") == 0)
    base.resize(base.size() - 4);
  return {folder, "lib" + base + ".so"};
}

HMODULE Open(const std::string& path) {
  return static_cast<HMODULE>(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR lpLibFileName) noexcept {
  try {
    if (lpLibFileName == nullptr || *lpLibFileName == 0) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
    const std::string utf8 = kxu::platform::Utf16ToUtf8(std::u16string_view(lpLibFileName));
    const auto [folder, file] = SharedObjectName(utf8);
    HMODULE hModule = nullptr;
    if (!folder.empty()) {
      hModule = Open(folder + file);
    } else {
      const std::string programFolder = ProgramFolder();
      if (!programFolder.empty()) hModule = Open(programFolder + file);
      // A bare name makes dlopen search the loader's path.
      if (hModule == nullptr) hModule = Open(file);
    }
    if (hModule == nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
    return hModule;
  } catch (...) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) noexcept {
  void* symbol =
      (hModule == nullptr || lpProcName == nullptr) ? nullptr : dlsym(hModule, lpProcName);
  if (symbol == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  FARPROC proc = nullptr;
  static_assert(sizeof proc == sizeof symbol);
  std::memcpy(&proc, &symbol, sizeof proc);
  return proc;
}
