// The table of distinct texts that the frequency count groups its strings
// by. Only the data family uses it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include <kxutils96/platform/seeded_hash.h>
#include <kxutils96/sort/text_keys.h>

namespace kxu::data::detail {

// What a lookup needs of a text (up to its first NUL, folded when `kFold`):
// its hash, its length, its first 16 bytes (so that most comparisons of
// short texts read neither text again) and the text itself.
struct TextKey {
  std::uint64_t hash;
  std::uint64_t head[2];
  std::size_t length;
  const char* psz;
};

// The key of `psz`, hashed under `seeds` (the process's, so that no input
// can be made whose texts all fall into one slot).
template <bool kFold>
TextKey KeyOf(const char* psz, const platform::HashSeeds& seeds) {
  using sort::TextWord;
  const std::size_t length = std::strlen(psz);
  const std::uint64_t hash = platform::SeededHash(
      seeds, length, [psz, length](std::size_t i) { return TextWord<kFold>(psz + i, length - i); });
  const std::uint64_t second = length > 8 ? TextWord<kFold>(psz + 8, length - 8) : 0;
  return {hash, {TextWord<kFold>(psz, length), second}, length, psz};
}

// True when the texts of two keys are equal under the order.
template <bool kFold>
bool SameText(const TextKey& a, const TextKey& b) {
  if (a.hash != b.hash || a.length != b.length || a.head[0] != b.head[0] ||
      a.head[1] != b.head[1]) {
    return false;
  }
  for (std::size_t i = 16; i < a.length; ++i) {
    if (sort::OrderByte<kFold>(a.psz[i]) != sort::OrderByte<kFold>(b.psz[i])) return false;
  }
  return true;
}

// The distinct texts met so far, by an open-addressing hash table, equal as
// the sort compares them (Compare, or CompareNoCase when folding).
template <bool kFold>
class DistinctTexts {
 public:
  // The number of the group of the text of `key` (groups are numbered as
  // first met); a text equal to none before opens a new group. The text
  // must stay valid.
  int GroupOf(const TextKey& key) {
    std::size_t slot = static_cast<std::size_t>(key.hash) & Mask();
    for (; m_slots[slot] != 0; slot = (slot + 1) & Mask()) {
      ++m_nProbes;
      const int group = m_slots[slot] - 1;
      if (SameText<kFold>(m_firsts[static_cast<std::size_t>(group)], key)) return group;
    }
    const int group = static_cast<int>(m_firsts.size());
    m_slots[slot] = group + 1;
    m_firsts.push_back(key);
    if (m_firsts.size() * 2 > m_slots.size()) Grow();
    return group;
  }

  // How many taken slots the lookups so far stepped on: about one per lookup
  // when the hashes spread, up to one per text held when they collide.
  std::size_t Probes() const { return m_nProbes; }

 private:
  std::size_t Mask() const { return m_slots.size() - 1; }

  void Grow() {
    m_slots.assign(m_slots.size() * 2, 0);
    for (std::size_t group = 0; group < m_firsts.size(); ++group) {
      std::size_t slot = static_cast<std::size_t>(m_firsts[group].hash) & Mask();
      while (m_slots[slot] != 0) slot = (slot + 1) & Mask();
      m_slots[slot] = static_cast<int>(group) + 1;
    }
  }

  std::vector<int> m_slots = std::vector<int>(64, 0);  // group + 1, or 0 when free
  std::vector<TextKey> m_firsts;                       // each group's first text
  std::size_t m_nProbes = 0;
};

}  // namespace kxu::data::detail
