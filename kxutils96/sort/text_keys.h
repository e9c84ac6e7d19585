// The text orders of the sort family as inline pieces: the case folding of
// the no-case comparisons, the 8-byte prefix that orders most pairs of texts
// without reading them again, and the full order of two texts.
#pragma once

#include <cstdint>
#include <cstring>

namespace kxu::sort {

// A-Z folded to a-z, every other byte unchanged: the folding of _stricmp in
// the "C" locale and of CompareNoCase.
constexpr unsigned char FoldCase(unsigned char ch) {
  return ch >= 'A' && ch <= 'Z' ? static_cast<unsigned char>(ch - 'A' + 'a') : ch;
}

// The byte as the order compares it: folded when `kFold`.
template <bool kFold>
constexpr unsigned char OrderByte(char ch) {
  const auto byte = static_cast<unsigned char>(ch);
  return kFold ? FoldCase(byte) : byte;
}

// The first 8 bytes of `psz` (folded when `kFold`), zero after its end, as a
// big-endian number: two texts whose prefixes differ order as the prefixes
// do. The lowest byte is 0 exactly when the text is shorter than 8 bytes.
// Example: TextPrefix<true>("Ab") == 0x6162000000000000.
template <bool kFold>
std::uint64_t TextPrefix(const char* psz) {
  std::uint64_t prefix = 0;
  int i = 0;
  for (; i < 8 && psz[i] != '\0'; ++i) prefix = (prefix << 8) | OrderByte<kFold>(psz[i]);
  return i == 8 ? prefix : prefix << (8 * (8 - i));
}

// Negative, 0 or positive as `a` orders before, equal to or after `b`: bytes
// unsigned, folded when `kFold`, up to the first NUL.
template <bool kFold>
int OrderTexts(const char* a, const char* b) {
  if constexpr (!kFold) {
    return std::strcmp(a, b);
  } else {
    for (;; ++a, ++b) {
      const int x = OrderByte<kFold>(*a);
      const int y = OrderByte<kFold>(*b);
      if (x != y || x == 0) return x - y;
    }
  }
}

}  // namespace kxu::sort
