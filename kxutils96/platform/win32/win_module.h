// Loading a module at run time, with the system's contract: a module stays
// loaded until the process ends (the library never unloads one), and a failed
// call returns null with the last error set (GetLastError, win_error.h).
//
// On Windows the system does all of this. On POSIX a module name "NAME.dll"
// stands for the shared object "libNAME.so" (a name without the ".dll"
// suffix gets ".so" appended all the same). A name without a directory is
// looked for first beside the running program, then on the loader's search
// path; a name with a directory (either slash) only in that directory.
#pragma once

#include <kxutils96/platform/win32/win_types.h>

struct HINSTANCE__;
using HMODULE = HINSTANCE__*;
// The address of an exported function, to be cast to its real type.
using FARPROC = INT_PTR (*)();

inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

// Loads the module `lpLibFileName` (UTF-16) and returns its handle, or null
// with ERROR_MOD_NOT_FOUND when it cannot be found or loaded (also for a
// null or empty name). Loading a module twice returns the same handle.
// Example: LoadLibraryW(u"ZQUTIL96.dll") loads libZQUTIL96.so from the
// program's folder when it is there.
HMODULE LoadLibraryW(LPCWSTR lpLibFileName) noexcept;

// The address of the export `lpProcName` of `hModule`, or null with
// ERROR_PROC_NOT_FOUND when the module has no such export (also for a null
// module or name).
// Example: GetProcAddress(h, "cvt_str_to_double_ex").
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) noexcept;

// Writes the full path of the file of `hModule` (null: the running
// program's executable; otherwise a handle from LoadLibraryW) into
// `lpFilename`, NUL-terminated, and returns its length in UTF-16 units. A
// path that does not fit is cut to `nSize` - 1 units and the result is
// `nSize`, with ERROR_INSUFFICIENT_BUFFER; a null buffer or a size of 0
// gives 0 with the same error. When the system cannot tell the path, the
// result is 0 with ERROR_MOD_NOT_FOUND.
// Example: GetModuleFileNameW(nullptr, buf, 520) gives u"/opt/app/bin/kxu" and 16.
DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) noexcept;
