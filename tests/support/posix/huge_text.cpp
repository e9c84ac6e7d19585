#include "support/huge_text.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace kxu::test {
namespace {

// A multiple of every page size, and few enough mappings for 8 GiB.
constexpr std::size_t kChunk = std::size_t{1} << 20;

void* Checked(void* p) {
  if (p == MAP_FAILED) throw std::runtime_error("HugeText: mmap failed");
  return p;
}

}  // namespace

HugeText::HugeText(std::string_view pattern, std::size_t nBytes) : m_nBytes(nBytes) {
  if (pattern.empty() || kChunk % pattern.size() != 0)
    throw std::invalid_argument("HugeText: the pattern must divide 1 MiB");
  const std::size_t nWhole = nBytes / kChunk * kChunk;
  m_nReserved = nWhole + kChunk;  // the tail and at least one page of zeros
  m_pText = static_cast<char*>(
      Checked(mmap(nullptr, m_nReserved, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)));
  const int fd = memfd_create("huge_text", 0);
  std::string chunk;
  while (chunk.size() < kChunk) chunk += pattern;
  const bool bWritten = fd >= 0 && write(fd, chunk.data(), kChunk) == static_cast<ssize_t>(kChunk);
  for (std::size_t at = 0; bWritten && at < nWhole; at += kChunk)
    Checked(mmap(m_pText + at, kChunk, PROT_READ, MAP_SHARED | MAP_FIXED, fd, 0));
  if (fd >= 0) close(fd);
  if (!bWritten) throw std::runtime_error("HugeText: memfd failed");
  char* pTail = static_cast<char*>(Checked(mmap(m_pText + nWhole, kChunk, PROT_READ | PROT_WRITE,
                                                MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0)));
  std::memcpy(pTail, chunk.data(), nBytes - nWhole);
  mprotect(pTail, kChunk, PROT_READ);
}

HugeText::~HugeText() {
  munmap(m_pText, m_nReserved);
}

}  // namespace kxu::test
