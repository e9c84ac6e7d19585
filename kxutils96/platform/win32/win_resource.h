// Reading a loaded module's resources, with the system's contract: a resource
// is found by type, name and language, and its bytes stay readable, unchanged,
// for as long as the module is loaded (the library never unloads one).
//
// On Windows the system does all of this. POSIX shared objects carry no
// resources: there every search finds nothing, and a program keeps data that
// Windows would put in resources in files of its own (as the message stores
// stand in for message modules; ModulesCarryStringTables tells which).
#pragma once

#include <kxutils96/platform/win32/win_module.h>
#include <kxutils96/platform/win32/win_types.h>

struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;
using LPVOID = void*;
using LONG_PTR = std::intptr_t;

inline constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
inline constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
inline constexpr DWORD ERROR_RESOURCE_LANG_NOT_FOUND = 1815;

// A resource type or name given by number (1 to 65535) instead of by text.
inline LPCWSTR MAKEINTRESOURCEW(WORD wId) noexcept {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the number is the pointer's value
  return reinterpret_cast<LPCWSTR>(static_cast<UINT_PTR>(wId));
}

// String tables: block N holds the strings 16 * (N - 1) to 16 * N - 1.
inline const LPCWSTR RT_STRING = MAKEINTRESOURCEW(6);

// The language identifier that stands for no language in particular.
inline constexpr WORD LANG_NEUTRAL = 0;

namespace kxu::platform {

// True where modules carry resources such as string tables (Windows); false
// where they carry none (POSIX).
bool ModulesCarryStringTables() noexcept;

}  // namespace kxu::platform

// The resource of type `lpType` and name `lpName` of `hModule` in exactly the
// language `wLanguage` (never one the system would choose in its place), or
// null with ERROR_RESOURCE_LANG_NOT_FOUND (or ERROR_RESOURCE_DATA_NOT_FOUND,
// ERROR_RESOURCE_TYPE_NOT_FOUND) when the module has none. A handle that is
// not a module loaded by LoadLibraryW (or null) finds nothing.
// Example: FindResourceExW(h, RT_STRING, MAKEINTRESOURCEW(938), 0x0407) is the
// German block of strings 14992 to 15007.
HRSRC FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) noexcept;

// The size in bytes of the resource `hResInfo` of `hModule`; 0 for null.
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo) noexcept;

// The handle of the bytes of the resource `hResInfo` of `hModule`; null for null.
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo) noexcept;

// The address of the first byte of a resource that LoadResource gave.
LPVOID LockResource(HGLOBAL hResData) noexcept;

// Called by EnumResourceLanguagesW for each language; returns TRUE to go on.
using ENUMRESLANGPROCW = BOOL (*)(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage,
                                  LONG_PTR lParam);

// Calls `lpEnumFunc` with `lParam` for each language in which `hModule` has
// the resource `lpType`/`lpName`, in ascending order of language identifier,
// until it returns FALSE. Returns TRUE when no call stopped it; FALSE when one
// did, and with ERROR_RESOURCE_DATA_NOT_FOUND or ERROR_RESOURCE_TYPE_NOT_FOUND
// when the module has the resource in no language (also for a handle that is
// not a loaded module's).
BOOL EnumResourceLanguagesW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName,
                            ENUMRESLANGPROCW lpEnumFunc, LONG_PTR lParam) noexcept;
