// The table of built-in modules and their exports.
#include <kxutils96/platform/win32/win_builtin_modules.h>

#include <cstring>
#include <span>
#include <string_view>

#include <kxutils96/platform/com_shell/shell_items.h>
#include <kxutils96/platform/win32/win_error.h>

namespace {

struct BuiltinExport {
  const char* pszName;
  FARPROC proc;
};

struct BuiltinModule {
  std::string_view baseName;  // lower case, without ".dll"
  std::span<const BuiltinExport> exports;
};

// `pfn` as an export's address; the caller casts it back to its real type.
// (A cast through void (*)() is the one the compiler accepts between
// unrelated function types.)
template <class Function>
FARPROC ProcOf(Function* pfn) noexcept {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(pfn));
}

const BuiltinExport kShell32Exports[] = {
    {"SHCreateItemFromParsingName", ProcOf(&SHCreateItemFromParsingName)},
};

const BuiltinModule kBuiltinModules[] = {
    {"shell32", kShell32Exports},
};

constexpr std::u16string_view kDllSuffix = u".dll";

WCHAR LowerAscii(WCHAR ch) noexcept {
  return (ch >= u'A' && ch <= u'Z') ? static_cast<WCHAR>(ch + (u'a' - u'A')) : ch;
}

bool EqualsIgnoringAsciiCase(std::u16string_view name, std::string_view lower) noexcept {
  if (name.size() != lower.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (LowerAscii(name[i]) != static_cast<unsigned char>(lower[i])) return false;
  }
  return true;
}

// `name` without a trailing ".dll" in any case.
std::u16string_view WithoutDllSuffix(std::u16string_view name) noexcept {
  if (name.size() > kDllSuffix.size() &&
      EqualsIgnoringAsciiCase(name.substr(name.size() - kDllSuffix.size()), ".dll")) {
    name.remove_suffix(kDllSuffix.size());
  }
  return name;
}

HMODULE HandleOf(const BuiltinModule& module) noexcept {
  // The handle is the table entry's address; it is only ever compared.
  return reinterpret_cast<HMODULE>(const_cast<BuiltinModule*>(&module));
}

const BuiltinModule* ModuleOf(HMODULE hModule) noexcept {
  for (const BuiltinModule& module : kBuiltinModules) {
    if (HandleOf(module) == hModule) return &module;
  }
  return nullptr;
}

}  // namespace

namespace kxu::platform {

HMODULE FindBuiltinModule(LPCWSTR lpLibFileName) noexcept {
  if (lpLibFileName == nullptr) return nullptr;
  const std::u16string_view name(lpLibFileName);
  if (name.find_first_of(u"/\\") != std::u16string_view::npos) return nullptr;
  const std::u16string_view baseName = WithoutDllSuffix(name);
  for (const BuiltinModule& module : kBuiltinModules) {
    if (EqualsIgnoringAsciiCase(baseName, module.baseName)) return HandleOf(module);
  }
  return nullptr;
}

bool IsBuiltinModule(HMODULE hModule) noexcept {
  return hModule != nullptr && ModuleOf(hModule) != nullptr;
}

FARPROC BuiltinProcAddress(HMODULE hModule, LPCSTR lpProcName) noexcept {
  const BuiltinModule* pModule = ModuleOf(hModule);
  if (pModule != nullptr && lpProcName != nullptr) {
    for (const BuiltinExport& entry : pModule->exports) {
      if (std::strcmp(entry.pszName, lpProcName) == 0) return entry.proc;
    }
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

}  // namespace kxu::platform
