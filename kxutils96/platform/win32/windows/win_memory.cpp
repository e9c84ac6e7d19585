// VirtualAlloc and VirtualFree are the system's own.
#include <kxutils96/platform/win32/win_memory.h>

#include <kxutils96/platform/win32/windows/kernel_system.h>

namespace os = kxu::platform::windows;

void* VirtualAlloc(void* lpAddress, std::size_t dwSize, DWORD flAllocationType,
                   DWORD flProtect) noexcept {
  return os::VirtualAlloc(lpAddress, dwSize, flAllocationType, flProtect);
}

BOOL VirtualFree(void* lpAddress, std::size_t dwSize, DWORD dwFreeType) noexcept {
  return os::VirtualFree(lpAddress, dwSize, dwFreeType);
}

// The system faults a page in at its first write, with nothing to ask of it.
void kxu::platform::PopulateForWrite(void* /*p*/, std::size_t /*nBytes*/) noexcept {}
