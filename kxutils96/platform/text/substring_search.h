// The library's one substring search: every search for a text inside a text
// goes through it, so that none costs more than time linear in the text and
// the pattern, whatever either holds (a long pattern that almost matches
// everywhere included).
//
// It is the two-way method of Crochemore and Perrin: the pattern is cut once
// at a critical point into a left and a right part; a window is tested right
// part first, left to right, then left part; a mismatch in the right part
// moves the window past the bytes compared, a mismatch in the left part by the
// pattern's period (remembering, for a periodic pattern, the part that then
// matches already). Each text unit is compared at most twice, and no memory is
// allocated. Between windows that can match, the search skips ahead many
// units at a time (see NextCandidate), never looking at a unit more than a
// bounded number of times.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

#include <kxutils96/platform/text/simd.h>

namespace kxu::platform {

// Units compared as they are.
struct ExactUnits {
  template <class Char>
  static constexpr bool Same(Char a, Char b) noexcept {
    return a == b;
  }
  template <class Char>
  static constexpr bool Less(Char a, Char b) noexcept {
    return a < b;
  }
};

// ASCII letters compared without their case (A-Z as a-z); other units,
// bytes of multi-byte characters included, as they are.
struct AsciiCaselessUnits {
  template <class Char>
  static constexpr Char Folded(Char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
  }
  template <class Char>
  static constexpr bool Same(Char a, Char b) noexcept {
    return Folded(a) == Folded(b);
  }
  template <class Char>
  static constexpr bool Less(Char a, Char b) noexcept {
    return Folded(a) < Folded(b);
  }
};

// Finds one pattern, as `Units` compares units (Same: equal; Less: any
// strict order consistent with Same), in any number of texts. The pattern is
// read, not copied: it must outlive the search. Making the search costs time
// linear in the pattern; each Find, time linear in the part of the text it
// passes. Reads only; never throws.
// Example: SubstringSearch<char>("aab").Find("aaaab") == 2.
template <class Char, class Units = ExactUnits>
class SubstringSearch {
 public:
  using View = std::basic_string_view<Char>;

  explicit SubstringSearch(View pattern) noexcept : m_pattern(pattern) {
    if (pattern.empty()) return;
    const Factor byOrder = MaximalSuffix(false);
    const Factor byReverse = MaximalSuffix(true);
    const Factor critical = byOrder.nStart >= byReverse.nStart ? byOrder : byReverse;
    m_nCritical = critical.nStart;
    // The left part repeats one period on: the whole pattern has that period.
    m_bPeriodic = true;
    for (std::size_t i = 0; i < m_nCritical && m_bPeriodic; ++i)
      m_bPeriodic = Units::Same(pattern[i], pattern[i + critical.nPeriod]);
    // Without a period, any shift shorter than the longer part may be a match
    // only where a shift of the right part was ruled out already.
    m_nShift =
        m_bPeriodic ? critical.nPeriod : std::max(m_nCritical, pattern.size() - m_nCritical) + 1;
  }

  // The offset in `text` of the first occurrence at or after `nFrom`, or
  // View::npos. An empty pattern occurs at `nFrom` (when it is inside the
  // text or at its end).
  std::size_t Find(View text, std::size_t nFrom = 0) const noexcept {
    const std::size_t m = m_pattern.size();
    if (nFrom > text.size() || text.size() - nFrom < m) return View::npos;
    if (m == 0) return nFrom;
    const std::size_t nLast = text.size() - m;  // the last start a window can have
    const Char* t = text.data();
    std::size_t j = nFrom;
    std::size_t nKnown = 0;  // units of the window known to match (periodic patterns only)
    while (j <= nLast) {
      if constexpr (kSkipsByScan) {
        if (nKnown == 0) {
          j = NextCandidate(t, j, nLast);
          if (j == View::npos) return View::npos;
        }
      }
      std::size_t i = std::max(m_nCritical, nKnown);
      while (i < m && Units::Same(m_pattern[i], t[j + i])) ++i;
      if (i < m) {
        j += i - m_nCritical + 1;
        nKnown = 0;
        continue;
      }
      std::size_t nLeft = m_nCritical;
      while (nLeft > nKnown && Units::Same(m_pattern[nLeft - 1], t[j + nLeft - 1])) --nLeft;
      if (nLeft <= nKnown) return j;
      j += m_nShift;
      nKnown = m_bPeriodic ? m - m_nShift : 0;
    }
    return View::npos;
  }

 private:
  // Exact units can be scanned for many at a time.
  static constexpr bool kSkipsByScan = std::is_same_v<Units, ExactUnits>;

  // The first window start from `j` to `nLast` that can hold a match, or
  // npos: bytes are tested 16 starts at a time for the pattern's first and
  // last byte in place, wider units by the run time's scan for the right
  // part's first unit. Windows skipped cannot match; each scan starts past
  // the window the last one found, so the scans look at each unit a bounded
  // number of times.
  std::size_t NextCandidate(const Char* t, std::size_t j, std::size_t nLast) const noexcept {
    if constexpr (sizeof(Char) == 1) {
      namespace simd = platform::simd;
      const std::size_t nEnd = m_pattern.size() - 1;
      const auto first = static_cast<unsigned char>(m_pattern[0]);
      const auto last = static_cast<unsigned char>(m_pattern[nEnd]);
      for (; j <= nLast && nLast - j >= simd::kBlockBytes - 1; j += simd::kBlockBytes) {
        const simd::Mask mask = simd::EqualMask(simd::LoadBlock(t + j), first) &
                                simd::EqualMask(simd::LoadBlock(t + j + nEnd), last);
        if (mask != 0) return j + static_cast<std::size_t>(std::countr_zero(mask));
      }
      for (; j <= nLast; ++j)
        if (t[j] == m_pattern[0] && t[j + nEnd] == m_pattern[nEnd]) return j;
      return View::npos;
    } else {
      const Char* pHit =
          std::char_traits<Char>::find(t + j + m_nCritical, nLast - j + 1, m_pattern[m_nCritical]);
      return pHit == nullptr ? View::npos : static_cast<std::size_t>(pHit - t) - m_nCritical;
    }
  }

  // The start of a maximal suffix and its period.
  struct Factor {
    std::size_t nStart;
    std::size_t nPeriod;
  };

  // The pattern's greatest suffix under the order of Units (`bReversed`: its
  // opposite), found in linear time, with that suffix's period.
  Factor MaximalSuffix(bool bReversed) const noexcept {
    const auto before = [bReversed](Char a, Char b) {
      return bReversed ? Units::Less(b, a) : Units::Less(a, b);
    };
    // The candidate starts at nBest + 1 (nBest wraps below 0 at first);
    // nAt + nOffset is the unit being compared with nBest + nOffset.
    std::size_t nBest = static_cast<std::size_t>(-1);
    std::size_t nAt = 0;
    std::size_t nOffset = 1;
    std::size_t nPeriod = 1;
    while (nAt + nOffset < m_pattern.size()) {
      const Char a = m_pattern[nAt + nOffset];
      const Char b = m_pattern[nBest + nOffset];
      if (before(a, b)) {
        nAt += nOffset;
        nOffset = 1;
        nPeriod = nAt - nBest;
      } else if (Units::Same(a, b)) {
        if (nOffset == nPeriod) {
          nAt += nPeriod;
          nOffset = 1;
        } else {
          ++nOffset;
        }
      } else {
        nBest = nAt++;
        nOffset = 1;
        nPeriod = 1;
      }
    }
    return {nBest + 1, nPeriod};
  }

  View m_pattern;
  std::size_t m_nCritical = 0;  // where the right part starts
  std::size_t m_nShift = 1;     // the move after the left part fails
  bool m_bPeriodic = false;
};

}  // namespace kxu::platform
