// mbstowcs and wcstombs over the C library's UTF-16 conversions of the current
// locale (mbrtoc16, c16rtomb), with the Windows run-time's byte-for-unit rule in
// the classic locale.
#include <kxutils96/platform/crt/crt_locale.h>

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstring>
#include <cuchar>
#include <cwchar>

namespace {

constexpr std::size_t kFailed = static_cast<std::size_t>(-1);
// mbrtoc16 results other than a byte count.
constexpr std::size_t kInvalidSequence = static_cast<std::size_t>(-1);
constexpr std::size_t kIncompleteSequence = static_cast<std::size_t>(-2);
constexpr std::size_t kPendingLowSurrogate = static_cast<std::size_t>(-3);
constexpr WCHAR kLastClassicUnit = 0xFF;

bool IsClassicLocale() noexcept {
  const char* pszName = std::setlocale(LC_CTYPE, nullptr);
  return pszName == nullptr || std::strcmp(pszName, "C") == 0 || std::strcmp(pszName, "POSIX") == 0;
}

bool IsHighSurrogate(char32_t unit) noexcept {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// One character of the source in the target's units: none at the source's
// NUL; `bValid` false when it does not convert.
template <class Unit, std::size_t kMaxUnits>
struct Character {
  Unit units[kMaxUnits];
  std::size_t nUnits;
  bool bValid;
};

using WideCharacter = Character<WCHAR, 2>;
using NarrowCharacter = Character<char, MB_LEN_MAX>;

// Writes the characters that `next` yields into `out` (null: counts them),
// as mbstowcs and wcstombs do: up to the source's NUL, never more than
// `count` units, never part of a character.
template <class Unit, class NextCharacter>
std::size_t WriteCharacters(Unit* out, std::size_t count, NextCharacter next) noexcept {
  std::size_t nWritten = 0;
  for (;;) {
    const auto character = next();
    if (!character.bValid) return kFailed;
    if (character.nUnits == 0) {
      if (out != nullptr && nWritten < count) out[nWritten] = 0;
      return nWritten;
    }
    if (out != nullptr) {
      if (count - nWritten < character.nUnits) return nWritten;
      std::copy_n(character.units, character.nUnits, out + nWritten);
    }
    nWritten += character.nUnits;
  }
}

// Reads multibyte characters of the current locale from a NUL-terminated text.
class MultibyteReader {
 public:
  explicit MultibyteReader(const char* psz) noexcept
      : m_p(psz), m_nLeft(std::strlen(psz) + 1), m_bClassic(IsClassicLocale()) {}

  WideCharacter operator()() noexcept {
    if (m_bClassic) {
      const auto byte = static_cast<unsigned char>(*m_p);
      if (byte != 0) ++m_p;
      return {{byte, 0}, byte == 0 ? 0u : 1u, true};
    }
    WideCharacter character{{0, 0}, 0, true};
    const std::size_t nBytes = std::mbrtoc16(&character.units[0], m_p, m_nLeft, &m_state);
    if (nBytes == kInvalidSequence || nBytes == kIncompleteSequence) return {{0, 0}, 0, false};
    if (nBytes == 0) return character;
    Advance(nBytes);
    character.nUnits = 1;
    if (IsHighSurrogate(character.units[0])) {
      // The low half comes from the same bytes, without reading any more.
      if (std::mbrtoc16(&character.units[1], m_p, m_nLeft, &m_state) != kPendingLowSurrogate)
        return {{0, 0}, 0, false};
      character.nUnits = 2;
    }
    return character;
  }

 private:
  void Advance(std::size_t nBytes) noexcept {
    m_p += nBytes;
    m_nLeft -= nBytes;
  }

  const char* m_p;
  std::size_t m_nLeft;
  bool m_bClassic;
  std::mbstate_t m_state{};
};

// Reads UTF-16 characters from a NUL-terminated text and gives their
// multibyte form in the current locale.
class WideReader {
 public:
  explicit WideReader(const WCHAR* psz) noexcept : m_p(psz), m_bClassic(IsClassicLocale()) {}

  NarrowCharacter operator()() noexcept {
    NarrowCharacter character{{}, 0, true};
    const WCHAR unit = *m_p;
    if (unit == 0) return character;
    ++m_p;
    if (m_bClassic) {
      character.units[0] = static_cast<char>(unit);
      character.nUnits = 1;
      character.bValid = unit <= kLastClassicUnit;
      return character;
    }
    std::size_t nBytes = std::c16rtomb(character.units, unit, &m_state);
    if (nBytes == 0 && IsHighSurrogate(unit)) {
      // c16rtomb keeps the high half until the low half arrives.
      const WCHAR low = *m_p;
      if (low == 0) return {{}, 0, false};
      ++m_p;
      nBytes = std::c16rtomb(character.units, low, &m_state);
    }
    if (nBytes == kFailed || nBytes == 0) return {{}, 0, false};
    character.nUnits = nBytes;
    return character;
  }

 private:
  const WCHAR* m_p;
  bool m_bClassic;
  std::mbstate_t m_state{};
};

}  // namespace

std::size_t mbstowcs(WCHAR* wcstr, const char* mbstr, std::size_t count) noexcept {
  if (mbstr == nullptr) return kFailed;
  return WriteCharacters(wcstr, count, MultibyteReader(mbstr));
}

std::size_t wcstombs(char* mbstr, const WCHAR* wcstr, std::size_t count) noexcept {
  if (wcstr == nullptr) return kFailed;
  return WriteCharacters(mbstr, count, WideReader(wcstr));
}
