// Texts longer than an int counts, for tests of 64-bit POSIX systems: a text
// of gigabytes that costs address space, not memory. One small in-memory file
// holding the pattern over and over is mapped many times, end to end, into one
// reserved range, and the few bytes past the last whole mapping lie in a
// zeroed page of their own, so zero units follow the text. The text is read-only:
// a write into it crashes the test.
//
//   const kxu::test::HugeText text("a", (std::size_t{1} << 32) + 4);
//   std::strlen(text.data()) == text.size();  // 4 GiB + 4
#pragma once

#include <cstddef>
#include <string_view>

namespace kxu::test {

class HugeText {
 public:
  // `nBytes` bytes of `pattern` repeated; the pattern's size must divide 1 MiB.
  HugeText(std::string_view pattern, std::size_t nBytes);
  HugeText(const HugeText&) = delete;
  HugeText& operator=(const HugeText&) = delete;
  ~HugeText();

  const char* data() const { return m_pText; }
  std::size_t size() const { return m_nBytes; }

 private:
  char* m_pText = nullptr;
  std::size_t m_nBytes;
  std::size_t m_nReserved = 0;
};

}  // namespace kxu::test
