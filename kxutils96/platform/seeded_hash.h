// Hashes that an input cannot aim at. A hash table whose hash anyone can
// work out can be fed texts that all land in one slot, and then every lookup
// walks all of them: time grows with the square of the input. These hashes
// mix in two numbers drawn once per process from the system's random source,
// the clock and the addresses the process was loaded at, so texts that collide
// in one process do not in the next.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kxu::platform {

// The seeds of one process: drawn at the first call, the same afterwards.
struct HashSeeds {
  std::uint64_t first;
  std::uint64_t second;
};
const HashSeeds& ProcessHashSeeds() noexcept;

// The 128-bit product of `a` and `b`, its high half xor its low half: every
// bit of either factor reaches every bit of the result.
inline std::uint64_t FoldedProduct(std::uint64_t a, std::uint64_t b) noexcept {
#if defined(__SIZEOF_INT128__)
  __extension__ typedef unsigned __int128 Product;  // a compiler extension, not ISO C++
  const Product product = static_cast<Product>(a) * b;
  return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
#else
  // Four 32 x 32-bit products, for targets without a 128-bit type.
  constexpr std::uint64_t kLow = 0xFFFFFFFFULL;
  const std::uint64_t lowLow = (a & kLow) * (b & kLow);
  const std::uint64_t highLow = (a >> 32) * (b & kLow);
  const std::uint64_t lowHigh = (a & kLow) * (b >> 32);
  const std::uint64_t highHigh = (a >> 32) * (b >> 32);
  const std::uint64_t middle = (lowLow >> 32) + (highLow & kLow) + (lowHigh & kLow);
  const std::uint64_t low = (middle << 32) | (lowLow & kLow);
  const std::uint64_t high = highHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32);
  return low ^ high;
#endif
}

// The hash, under `seeds`, of a text of `nLength` bytes whose 8-byte words
// `wordAt(offset)` gives (offset a multiple of 8 below nLength; a word that
// runs past the end is filled with zeros), so that callers can fold case or
// reorder bytes as they read. Two texts of one length and the same words hash
// alike; any others collide as seldom as random numbers would, whatever
// their bytes, for one who does not know the seeds.
// Example: SeededHash(ProcessHashSeeds(), 3, word) reads word(0) only.
template <class WordAt>
std::uint64_t SeededHash(const HashSeeds& seeds, std::size_t nLength, WordAt wordAt) noexcept {
  std::uint64_t state = seeds.first ^ nLength;
  for (std::size_t i = 0; i < nLength; i += 16) {
    const std::uint64_t second = nLength - i > 8 ? wordAt(i + 8) : 0;
    state = FoldedProduct(wordAt(i) ^ state, second ^ seeds.second);
  }
  return FoldedProduct(state ^ seeds.second, seeds.first ^ nLength);
}

}  // namespace kxu::platform
