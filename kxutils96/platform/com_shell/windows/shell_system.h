// The shell's calls that the Windows form of shell_items hands its work to,
// declared with plain C++ types so that their callers need not see
// <windows.h> or <shobjidl.h> (whose names clash with the library's own
// declarations). A shell item of the system crosses as an opaque handle, a
// property key as a pointer to its 20 bytes (the format id's GUID, then the
// 32-bit property id: the layout of PROPERTYKEY on every side). Each getter
// returns the system's HRESULT unchanged.
#pragma once

#include <cstdint>

namespace kxu::platform::windows {

// The system's shell item (as IShellItem2) for `pszPath`, made absolute and
// normalised first (GetFullPathNameW: '/' becomes '\', "." steps and doubled
// separators go, a relative path is taken from the current folder), into
// `*ppItem`, which is null after a failure.
std::int32_t CreateShellItem(const char16_t* pszPath, void** ppItem) noexcept;

// Gives back the reference that CreateShellItem handed out.
void ReleaseShellItem(void* pItem) noexcept;

// IShellItem2's getters on the system's item. The text comes in a block of
// the system's task allocator.
std::int32_t GetShellItemString(void* pItem, const void* pKey, char16_t** ppsz) noexcept;
std::int32_t GetShellItemUInt32(void* pItem, const void* pKey, std::uint32_t* pn) noexcept;
std::int32_t GetShellItemBool(void* pItem, const void* pKey, int* pb) noexcept;
std::int32_t GetShellItemFileTime(void* pItem, const void* pKey, std::uint32_t* pLow,
                                  std::uint32_t* pHigh) noexcept;

}  // namespace kxu::platform::windows
