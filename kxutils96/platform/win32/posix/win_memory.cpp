// VirtualAlloc and VirtualFree over anonymous mappings. munmap needs the
// mapping's start and length, which a block does not show (it starts past an
// alignment gap), so each block keeps them in the bytes just before it.
#include <kxutils96/platform/win32/win_memory.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include <kxutils96/platform/win32/win_error.h>

namespace {

constexpr std::size_t kHugePage = std::size_t{1} << 21;

// The mapping a block lies in, stored just before the block.
struct Mapping {
  void* pStart;
  std::size_t nLength;
};

// Where a block of `nSize` bytes starts: on a 2 MiB boundary when it can
// fill a huge page, on a page boundary otherwise.
std::size_t AlignmentOf(std::size_t nSize) {
  return nSize >= kHugePage ? kHugePage : static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace

void* VirtualAlloc(void* lpAddress, std::size_t dwSize, DWORD flAllocationType,
                   DWORD flProtect) noexcept {
  if (lpAddress != nullptr || dwSize == 0 || flAllocationType != (MEM_COMMIT | MEM_RESERVE) ||
      flProtect != PAGE_READWRITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // One alignment more than the block: room for the record before it and
  // for the gap up to the boundary.
  const std::size_t nAlignment = AlignmentOf(dwSize);
  if (dwSize > SIZE_MAX - nAlignment) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  const std::size_t nLength = dwSize + nAlignment;
  void* pStart = mmap(nullptr, nLength, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pStart == MAP_FAILED) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  const auto start = reinterpret_cast<std::uintptr_t>(pStart);
  auto* pBlock = static_cast<unsigned char*>(pStart) +
                 ((start + sizeof(Mapping) + nAlignment - 1) / nAlignment * nAlignment - start);
  const Mapping record{pStart, nLength};
  std::memcpy(pBlock - sizeof record, &record, sizeof record);
#ifdef MADV_HUGEPAGE
  // Advice only: without huge pages the block is the same, just slower to touch.
  if (nAlignment == kHugePage) madvise(pBlock, dwSize, MADV_HUGEPAGE);
#endif
  return pBlock;
}

BOOL VirtualFree(void* lpAddress, std::size_t dwSize, DWORD dwFreeType) noexcept {
  if (lpAddress == nullptr || dwSize != 0 || dwFreeType != MEM_RELEASE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Mapping record;
  std::memcpy(&record, static_cast<unsigned char*>(lpAddress) - sizeof record, sizeof record);
  munmap(record.pStart, record.nLength);
  return TRUE;
}

void kxu::platform::PopulateForWrite(void* p, std::size_t nBytes) noexcept {
#ifdef MADV_POPULATE_WRITE
  const auto nPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  // The bytes before the first page boundary in the range, then its whole pages.
  const std::size_t nLead = (nPage - reinterpret_cast<std::uintptr_t>(p) % nPage) % nPage;
  if (nBytes <= nLead) return;
  const std::size_t nWhole = (nBytes - nLead) / nPage * nPage;
  // Advice only: where it fails (an older kernel), the writes fault the
  // pages in themselves.
  if (nWhole > 0) madvise(static_cast<unsigned char*>(p) + nLead, nWhole, MADV_POPULATE_WRITE);
#else
  static_cast<void>(p);
  static_cast<void>(nBytes);
#endif
}
