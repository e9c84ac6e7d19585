// LoadLibraryW and GetProcAddress over dlopen and dlsym.
#include <kxutils96/platform/win32/win_module.h>

#include <dlfcn.h>
#include <link.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/path_parts.h>
#include <kxutils96/platform/win32/win_builtin_modules.h>
#include <kxutils96/platform/win32/win_error.h>

namespace {

// The path of the running program's file; empty when the system cannot tell.
std::string ProgramPath() {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<size_t>(n) >= path.size()) return {};
  path.resize(static_cast<size_t>(n));
  return path;
}

// The folder of the running program, with a trailing slash; empty when the
// system cannot tell.
std::string ProgramFolder() {
  return std::string(kxu::platform::FolderPart(ProgramPath()));
}

// "dir/NAME.dll" -> {"dir/", "libNAME.so"}.
std::pair<std::string, std::string> SharedObjectName(const std::string& name) {
  std::string folder(kxu::platform::FolderPart(name));
  std::replace(folder.begin(), folder.end(), '\\', '/');
  std::string base(kxu::platform::NamePart(name));
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
    if (HMODULE hBuiltin = kxu::platform::FindBuiltinModule(lpLibFileName)) return hBuiltin;
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
  if (kxu::platform::IsBuiltinModule(hModule))
    return kxu::platform::BuiltinProcAddress(hModule, lpProcName);
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

namespace {

// The path of the file `hModule` was loaded from; the running program's for
// null and for the program's own handle. Empty when the system cannot tell,
// and for a built-in module, which has no file.
std::string ModuleFilePath(HMODULE hModule) {
  if (hModule == nullptr) return ProgramPath();
  if (kxu::platform::IsBuiltinModule(hModule)) return {};
  link_map* pMap = nullptr;
  if (dlinfo(hModule, RTLD_DI_LINKMAP, &pMap) != 0 || pMap == nullptr) return {};
  if (pMap->l_name != nullptr && *pMap->l_name != '\0') return pMap->l_name;
  return ProgramPath();
}

}  // namespace

DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) noexcept {
  try {
    if (lpFilename == nullptr || nSize == 0) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    const std::basic_string<WCHAR> path = kxu::platform::Utf8ToUtf16(ModuleFilePath(hModule));
    if (path.empty()) {
      lpFilename[0] = 0;
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    const size_t nCopied = std::min<size_t>(path.size(), nSize - 1);
    std::copy_n(path.data(), nCopied, lpFilename);
    lpFilename[nCopied] = 0;
    if (nCopied < path.size()) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return nSize;
    }
    return static_cast<DWORD>(nCopied);
  } catch (...) {
    lpFilename[0] = 0;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
}
