// The text orders of the sort family as inline pieces: the case folding of
// the no-case comparisons, the 8-byte prefix that orders most pairs of texts
// without reading them again, the full order of two texts, and how far ahead
// loops over many texts ask for the next ones.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kxu::sort {

// Texts lie wherever the heap put them, and where one ends depends on its
// bytes, so a loop over many texts cannot run ahead to the next by itself:
// such loops ask for each text (kxu::platform::PrefetchForRead) this many
// elements before they read it.
inline constexpr int kTextPrefetchDistance = 32;

// A-Z folded to a-z, every other byte unchanged: the folding of _stricmp in
// the "C" locale and of CompareNoCase.
constexpr unsigned char FoldCase(unsigned char ch) {
  return ch >= 'A' && ch <= 'Z' ? static_cast<unsigned char>(ch - 'A' + 'a') : ch;
}

// Eight bytes folded at once: every byte A-Z of `x` becomes a-z, every
// other byte stays.
constexpr std::uint64_t FoldCase8(std::uint64_t x) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  const std::uint64_t low7 = x & (0x7F * kOnes);
  const std::uint64_t atLeastA = low7 + (0x80 - 'A') * kOnes;    // high bit: low7 >= 'A'
  const std::uint64_t aboveZ = low7 + (0x80 - 'Z' - 1) * kOnes;  // high bit: low7 > 'Z'
  const std::uint64_t upper = atLeastA & ~aboveZ & ~x & (0x80 * kOnes);
  return x | (upper >> 2);
}

// The byte as the order compares it: folded when `kFold`.
template <bool kFold>
constexpr unsigned char OrderByte(char ch) {
  const auto byte = static_cast<unsigned char>(ch);
  return kFold ? FoldCase(byte) : byte;
}

// The first min(8, `available`) bytes at `p` as the order sees them
// (folded when `kFold`), as a big-endian number, zero where they run out.
// Example: TextWord<true>("AbC", 2) == 0x6162000000000000.
template <bool kFold>
std::uint64_t TextWord(const char* p, std::size_t available) {
  std::uint64_t word = 0;
  if (available >= 8) {
    // The whole word in one load, its first byte made the highest.
    std::memcpy(&word, p, 8);
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
  } else {
    for (std::size_t i = 0; i < available; ++i)
      word |= std::uint64_t{static_cast<unsigned char>(p[i])} << (56 - 8 * i);
  }
  return kFold ? FoldCase8(word) : word;
}

// The first 8 bytes of `psz` as TextWord gives them, zero after its end: two
// texts whose prefixes differ order as the prefixes do. The lowest byte is 0
// exactly when the text is shorter than 8 bytes.
// Example: TextPrefix<true>("Ab") == 0x6162000000000000.
template <bool kFold>
std::uint64_t TextPrefix(const char* psz) {
  std::size_t length = 0;
  while (length < 8 && psz[length] != '\0') ++length;
  return TextWord<kFold>(psz, length);
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
