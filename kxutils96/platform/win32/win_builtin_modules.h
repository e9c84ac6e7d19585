// Modules that the platform layer provides itself, standing in for system
// modules this platform does not have. LoadLibraryW finds them by name before
// it looks for a shared object, and GetProcAddress resolves their exports from
// the table here, so a caller that loads one at run time runs real code:
//
//   shell32.dll   SHCreateItemFromParsingName (shell_items.h)
//
// A built-in module is never unloaded; its handle stays the same for the life
// of the process.
#pragma once

#include <kxutils96/platform/win32/win_module.h>
#include <kxutils96/platform/win32/win_types.h>

namespace kxu::platform {

// The handle of the built-in module `lpLibFileName`: a bare name (no folder),
// compared without regard to ASCII case, with or without its ".dll". Null
// when the name is not one of them (also for a null name).
// Example: FindBuiltinModule(u"SHELL32") == FindBuiltinModule(u"shell32.dll").
HMODULE FindBuiltinModule(LPCWSTR lpLibFileName) noexcept;

// True when `hModule` is the handle of a built-in module.
bool IsBuiltinModule(HMODULE hModule) noexcept;

// The export `lpProcName` (exact case) of the built-in module `hModule`, or
// null with ERROR_PROC_NOT_FOUND as the last error when it has no such export,
// the name is null or the module is not a built-in one.
// Example: BuiltinProcAddress(FindBuiltinModule(u"shell32.dll"),
// "SHCreateItemFromParsingName") is that function.
FARPROC BuiltinProcAddress(HMODULE hModule, LPCSTR lpProcName) noexcept;

}  // namespace kxu::platform
