// Blocks straight from the system's virtual memory, for the library's large
// working buffers, with the system's contract for the one use the library
// makes of it: VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE,
// PAGE_READWRITE) gives a new block of `size` bytes, zeroed and aligned to a
// page at least, or null with the last error set (GetLastError,
// win_error.h); VirtualFree(block, 0, MEM_RELEASE) gives the whole block back.
//
// On Windows the system does this. On POSIX a block is an anonymous mapping,
// and one of 2 MiB or more starts on a 2 MiB boundary and asks for huge
// pages where the system offers them, so that the first touch of a large
// buffer takes one page fault per 2 MiB rather than one per page. Any other
// arguments fail with ERROR_INVALID_PARAMETER there; VirtualFree must be
// given a block that VirtualAlloc gave, as free() must.
#pragma once

#include <cstddef>

#include <kxutils96/platform/win32/win_types.h>

inline constexpr DWORD MEM_COMMIT = 0x00001000;
inline constexpr DWORD MEM_RESERVE = 0x00002000;
inline constexpr DWORD MEM_RELEASE = 0x00008000;
inline constexpr DWORD PAGE_READWRITE = 0x04;

// Example: VirtualAlloc(nullptr, 80'000'000, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE).
void* VirtualAlloc(void* lpAddress, std::size_t dwSize, DWORD flAllocationType,
                   DWORD flProtect) noexcept;

// Returns TRUE, or FALSE with ERROR_INVALID_PARAMETER for a null block, a
// size other than 0 or a free type other than MEM_RELEASE.
BOOL VirtualFree(void* lpAddress, std::size_t dwSize, DWORD dwFreeType) noexcept;

namespace kxu::platform {

// Backs the whole pages inside [p, p + nBytes) with memory now, in one call
// to the system, so that the writes that then fill them take no page fault
// each (under a hypervisor a fault can cost more than the page's bytes);
// where the system has no such call (Windows, Linux before 5.14) it does
// nothing and the writes fault the pages in as usual. For fresh memory
// about to be filled, a piece at a time: the pages hold nothing yet.
// Example: PopulateForWrite(pBuffer + nDone, nPiece), then read() into it.
void PopulateForWrite(void* p, std::size_t nBytes) noexcept;

}  // namespace kxu::platform
