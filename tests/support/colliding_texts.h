// Texts made to collide, for the frequency count's tests and benchmark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace kxu::test {

// `n` distinct 16-byte texts that all hash alike under a multiply chain
// without a seed (h = (h ^ word) * K from h = 16 * K, words read big-endian),
// the hash the frequency count once used: the second word of each undoes its
// first. With `bRandom`, as many random 16-byte texts instead.
inline std::vector<std::string> CollidingTexts(std::size_t n, bool bRandom = false) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
  std::mt19937_64 random(7);
  std::vector<std::string> texts;
  while (texts.size() < n) {
    const std::uint64_t first = random() | 0x0101010101010101ULL;  // no zero byte
    const std::uint64_t second = bRandom ? random() : ((16 * kMultiplier) ^ first) * kMultiplier;
    std::string text;
    for (const std::uint64_t word : {first, second})
      for (int shift = 56; shift >= 0; shift -= 8) text += static_cast<char>(word >> shift);
    if (text.find('\0') == std::string::npos) texts.push_back(text);
  }
  return texts;
}

}  // namespace kxu::test
