// Texts made to collide: 16-byte texts that all hash alike under a multiply
// chain without a seed (h = (h ^ word) * K from h = 16 * K, words read
// big-endian), the hash the frequency count once used. The second word of
// each undoes its first, so any number of them share one hash and one slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace kxu::test {

// The 8 bytes of `word`, highest first; false when one is 0 (it would end the text).
inline bool AppendWord(std::string& text, std::uint64_t word) {
  for (int shift = 56; shift >= 0; shift -= 8) text += static_cast<char>(word >> shift);
  return text.find('\0') == std::string::npos;
}

// `n` distinct colliding texts; with `bRandom`, as many random 16-byte texts instead.
inline std::vector<std::string> CollidingTexts(std::size_t n, bool bRandom = false) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
  constexpr std::uint64_t kNoZeroByte = 0x0101010101010101ULL;
  std::mt19937_64 random(7);
  std::vector<std::string> texts;
  while (texts.size() < n) {
    const std::uint64_t first = random() | kNoZeroByte;
    const std::uint64_t second = bRandom ? random() : ((16 * kMultiplier) ^ first) * kMultiplier;
    std::string text;
    if (AppendWord(text, first) && AppendWord(text, second)) texts.push_back(text);
  }
  return texts;
}

}  // namespace kxu::test
