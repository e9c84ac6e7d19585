#include <kxutils96/platform/framework/afx_string.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>

#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/framework/afx_exception.h>
#include <kxutils96/platform/text/nul_scan.h>
#include <kxutils96/platform/text/substring_search.h>

using namespace kxu::platform;

namespace {

template <class Char>
using View = std::basic_string_view<Char>;
template <class Char>
using Traits = std::char_traits<Char>;

// The shared empty string: a header of zeros followed by a terminator.
template <class Header, class Char>
struct EmptyBlock {
  Header header;
  Char terminator;
};

// What a null text pointer stands for.
template <class Char>
constexpr Char kNoText[1] = {};

// malloc hands out chunks in steps of 16 bytes, 8 of which it keeps for
// itself, so a request of 16k + 8 bytes uses a chunk fully. Rounding requests
// up to that form gives the string the slack for free.
constexpr std::size_t kMallocStep = 16;
constexpr std::size_t kMallocOverhead = 8;

std::size_t ChunkFillingSize(std::size_t wanted) {
  return (wanted + kMallocStep - 1 - kMallocOverhead) / kMallocStep * kMallocStep + kMallocOverhead;
}

template <class Char>
View<Char> ViewOf(const CStringT<Char>& str) noexcept {
  return {str.GetString(), static_cast<std::size_t>(str.GetLength())};
}

template <class Char>
const Char* OrEmpty(const Char* psz) noexcept {
  return psz ? psz : kNoText<Char>;
}

int CheckedSum(int a, int b) {
  return CheckedInt(static_cast<long long>(a) + b);
}

// The units before the NUL that ends `psz`. The C library's search is the
// fast one for bytes; for UTF-16 it is the library's own block scan, which
// a text of millions of units would otherwise pay unit by unit.
template <class Char>
std::size_t NulTerminatedLengthOf(const Char* psz) noexcept {
  if constexpr (sizeof(Char) == 1) {
    return Traits<Char>::length(psz);
  } else {
    return NulTerminatedLength(psz);
  }
}

// The units before the first NUL among the `nUnits` units at `p`; nUnits
// when none is.
template <class Char>
std::size_t UnitsBeforeNul(const Char* p, std::size_t nUnits) noexcept {
  if constexpr (sizeof(Char) == 1) {
    const Char* nul = Traits<Char>::find(p, nUnits, Char{});
    return nul != nullptr ? static_cast<std::size_t>(nul - p) : nUnits;
  } else {
    return FindNul(p, nUnits);
  }
}

template <class Char>
int LengthOf(const Char* psz) {
  return psz ? CheckedInt(NulTerminatedLengthOf(psz)) : 0;
}

// A (pointer, count) pair must be a real range: no negative count and no
// null pointer with units behind it.
template <class Char>
void CheckRange(const Char* pch, int nLength) {
  if (nLength < 0 || (pch == nullptr && nLength > 0)) AfxThrowInvalidArgException();
}

// Resizes `block` (null for a new one) to hold `nRoom` units and a NUL, using
// the whole malloc chunk, and records the room it got.
template <class Header, class Char>
Header* ResizeBlock(Header* block, int nRoom) {
  const std::size_t wanted = sizeof(Header) + (static_cast<std::size_t>(nRoom) + 1) * sizeof(Char);
  const std::size_t bytes = ChunkFillingSize(wanted);
  auto* resized = static_cast<Header*>(block ? std::realloc(block, bytes) : std::malloc(bytes));
  if (resized == nullptr) AfxThrowMemoryException();
  const std::size_t room = (bytes - sizeof(Header)) / sizeof(Char) - 1;
  resized->nAllocLength = static_cast<int>(std::min<std::size_t>(room, INT_MAX));
  return resized;
}

// Room for a growing string: half as much again as it has, at least `nNeeded`.
int GrownRoom(int nCurrent, int nNeeded) {
  const long long grown = nCurrent + nCurrent / 2LL;
  return std::max(nNeeded, static_cast<int>(std::min<long long>(grown, INT_MAX)));
}

template <class Char>
bool IsAsciiSpace(Char ch) noexcept {
  return ch == ' ' || (ch >= '\t' && ch <= '\r');  // tab, LF, VT, FF, CR
}

template <class Char>
Char ToAsciiLower(Char ch) noexcept {
  return ch >= 'A' && ch <= 'Z' ? static_cast<Char>(ch - 'A' + 'a') : ch;
}

template <class Char>
Char ToAsciiUpper(Char ch) noexcept {
  return ch >= 'a' && ch <= 'z' ? static_cast<Char>(ch - 'a' + 'A') : ch;
}

// strcmp's order for any unit type, after passing each unit through `fold`.
template <class Char, class Fold>
int CompareUnits(const Char* a, const Char* b, Fold fold) noexcept {
  using Unit = std::make_unsigned_t<Char>;
  for (;; ++a, ++b) {
    const auto x = static_cast<Unit>(fold(*a));
    const auto y = static_cast<Unit>(fold(*b));
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

// Index of the first unit that `drop` does not accept (the length if none).
template <class Char, class Pred>
int FirstKept(View<Char> text, Pred drop) {
  return static_cast<int>(std::find_if_not(text.begin(), text.end(), drop) - text.begin());
}

// One past the last unit that `drop` does not accept (0 if none).
template <class Char, class Pred>
int EndKept(View<Char> text, Pred drop) {
  return static_cast<int>(text.rend() - std::find_if_not(text.rbegin(), text.rend(), drop));
}

// Where `sub` first occurs in `text` at or after `from` (at most the length),
// or npos, in time linear in both.
template <class Char>
std::size_t FindSubstring(View<Char> text, View<Char> sub, std::size_t from) noexcept {
  return kxu::platform::SubstringSearch<Char>(sub).Find(text, from);
}

template <class Char>
int CountMatches(View<Char> text, View<Char> pattern, std::size_t first) {
  int count = 0;
  for (std::size_t at = first; at != View<Char>::npos;
       at = FindSubstring(text, pattern, at + pattern.size())) {
    ++count;
  }
  return count;
}

struct ReplaceResult {
  int nCount;
  int nLength;
};

// Writes `text` with each `oldText` (left to right, no overlap, the first at
// `match`) replaced by `newText` to `dst`. `dst` may be text.data() itself
// when `newText` is not longer than `oldText`: writing then never passes the
// point still to be read.
template <class Char>
ReplaceResult WriteReplaced(Char* dst, View<Char> text, View<Char> oldText, View<Char> newText,
                            std::size_t match) {
  const bool bInPlace = dst == text.data();
  std::size_t read = bInPlace ? match : 0;  // in place, the text before the first match stays put
  std::size_t written = read;
  int nCount = 0;
  for (; match != View<Char>::npos; match = FindSubstring(text, oldText, read)) {
    Traits<Char>::move(dst + written, text.data() + read, match - read);
    written += match - read;
    Traits<Char>::copy(dst + written, newText.data(), newText.size());
    written += newText.size();
    read = match + oldText.size();
    ++nCount;
  }
  Traits<Char>::move(dst + written, text.data() + read, text.size() - read);
  return {nCount, CheckedInt(written + text.size() - read)};
}

[[noreturn]] void ThrowFormatFailure() {
  if (errno == EOVERFLOW) AfxThrowMemoryException();  // the result would not fit in an int
  AfxThrowInvalidArgException();
}

// Formats with vsnprintf into scratch memory (the stack when the result is
// short) and hands the text to `use`. The string being changed is not touched
// before `use`, so arguments may point into it.
template <class Use>
void FormatToScratch(const char* pszFormat, va_list args, Use use) {
  if (pszFormat == nullptr) AfxThrowInvalidArgException();
  std::array<char, 512> local;
  va_list first;
  va_copy(first, args);
  const int nLength = std::vsnprintf(local.data(), local.size(), pszFormat, first);
  va_end(first);
  if (nLength < 0) ThrowFormatFailure();
  if (static_cast<std::size_t>(nLength) < local.size()) return use(local.data(), nLength);

  const std::unique_ptr<char, decltype(&std::free)> heap(
      static_cast<char*>(std::malloc(static_cast<std::size_t>(nLength) + 1)), &std::free);
  if (!heap) AfxThrowMemoryException();
  va_list second;
  va_copy(second, args);
  std::vsnprintf(heap.get(), static_cast<std::size_t>(nLength) + 1, pszFormat, second);
  va_end(second);
  use(heap.get(), nLength);
}

template <class Char>
CStringT<Char> Concat(const Char* a, int na, const Char* b, int nb) {
  CStringT<Char> result;
  result.Preallocate(CheckedSum(na, nb));
  result.Append(a, na);
  result.Append(b, nb);
  return result;
}

}  // namespace

// ---- storage -----------------------------------------------------------------

template <class Char>
auto CStringT<Char>::EmptyData() noexcept -> PXSTR {
  using Block = EmptyBlock<Header, Char>;
  static_assert(offsetof(Block, terminator) == sizeof(Header));
  static constexpr Block kEmpty{};
  // Never written: every change first makes the string own a block.
  return const_cast<PXSTR>(&kEmpty.terminator);
}

template <class Char>
bool CStringT<Char>::PointsIntoBuffer(PCXSTR p) const noexcept {
  // The shared block is never written, so pointing into it is no hazard.
  if (IsShared()) return false;
  const std::less_equal<PCXSTR> before;
  return before(m_pszData, p) && before(p, m_pszData + GetHeader()->nAllocLength);
}

template <class Char>
void CStringT<Char>::Release() noexcept {
  if (!IsShared()) std::free(GetHeader());
  m_pszData = EmptyData();
}

template <class Char>
auto CStringT<Char>::Reserve(int nLength, bool bKeepText) -> PXSTR {
  const bool bShared = IsShared();
  if (!bShared && nLength <= GetHeader()->nAllocLength) return m_pszData;
  if (bKeepText && !bShared) {
    m_pszData = reinterpret_cast<PXSTR>(
        ResizeBlock<Header, Char>(GetHeader(), GrownRoom(GetHeader()->nAllocLength, nLength)) + 1);
    return m_pszData;
  }
  Header* fresh = ResizeBlock<Header, Char>(nullptr, nLength);
  Release();
  fresh->nDataLength = 0;
  m_pszData = reinterpret_cast<PXSTR>(fresh + 1);
  m_pszData[0] = 0;
  return m_pszData;
}

template <class Char>
void CStringT<Char>::Assign(PCXSTR pch, int nLength) {
  if (nLength > 0) {
    // Text from inside this string never needs more room, so the block stays
    // where it is and a move copes with the overlap.
    Traits<Char>::move(Reserve(nLength, false), pch, static_cast<std::size_t>(nLength));
  }
  SetLength(nLength);
}

// ---- construction and assignment -----------------------------------------

template <class Char>
CStringT<Char>::CStringT() noexcept : m_pszData(EmptyData()) {}

template <class Char>
CStringT<Char>::CStringT(PCXSTR psz) : CStringT() {
  Assign(psz, LengthOf(psz));
}

template <class Char>
CStringT<Char>::CStringT(PCXSTR pch, int nLength) : CStringT() {
  CheckRange(pch, nLength);
  Assign(pch, nLength);
}

template <class Char>
CStringT<Char>::CStringT(Char ch, int nRepeat) : CStringT() {
  if (nRepeat <= 0) return;
  Traits<Char>::assign(Reserve(nRepeat, false), static_cast<std::size_t>(nRepeat), ch);
  SetLength(nRepeat);
}

template <class Char>
CStringT<Char>::CStringT(const CStringT& other) : CStringT() {
  Assign(other.m_pszData, other.GetLength());
}

template <class Char>
CStringT<Char>::CStringT(CStringT&& other) noexcept
    : m_pszData(std::exchange(other.m_pszData, EmptyData())) {}

template <class Char>
CStringT<Char>::~CStringT() {
  if (!IsShared()) std::free(GetHeader());
}

template <class Char>
CStringT<Char>& CStringT<Char>::operator=(const CStringT& other) {
  Assign(other.m_pszData, other.GetLength());
  return *this;
}

template <class Char>
CStringT<Char>& CStringT<Char>::operator=(CStringT&& other) noexcept {
  if (this != &other) {
    Release();
    m_pszData = std::exchange(other.m_pszData, EmptyData());
  }
  return *this;
}

template <class Char>
CStringT<Char>& CStringT<Char>::operator=(PCXSTR psz) {
  Assign(psz, LengthOf(psz));
  return *this;
}

template <class Char>
CStringT<Char>& CStringT<Char>::operator=(Char ch) {
  Assign(&ch, 1);
  return *this;
}

// ---- units -----------------------------------------------------------------

template <class Char>
Char CStringT<Char>::GetAt(int i) const {
  if (i < 0 || i > GetLength()) AfxThrowInvalidArgException();
  return m_pszData[i];
}

template <class Char>
void CStringT<Char>::SetAt(int i, Char ch) {
  if (i < 0 || i >= GetLength()) AfxThrowInvalidArgException();
  m_pszData[i] = ch;
}

// ---- growing ---------------------------------------------------------------

template <class Char>
void CStringT<Char>::Empty() noexcept {
  Release();
}

template <class Char>
auto CStringT<Char>::GrowKeepingSource(int nLength, PCXSTR pch) -> PCXSTR {
  const bool bAliased = PointsIntoBuffer(pch);
  const std::ptrdiff_t offset = bAliased ? pch - m_pszData : 0;
  Reserve(nLength, true);
  return bAliased ? m_pszData + offset : pch;
}

template <class Char>
inline void CStringT<Char>::AppendUnits(PCXSTR pch, int nLength) {
  CheckRange(pch, nLength);
  if (nLength == 0) return;
  const int nOldLength = GetLength();
  const int nNewLength = CheckedSum(nOldLength, nLength);
  if (nNewLength > GetHeader()->nAllocLength) pch = GrowKeepingSource(nNewLength, pch);
  // Text from this string lies before its end, so it never overlaps the tail.
  Traits<Char>::copy(m_pszData + nOldLength, pch, static_cast<std::size_t>(nLength));
  SetLength(nNewLength);
}

template <class Char>
void CStringT<Char>::Append(PCXSTR psz) {
  AppendUnits(psz, LengthOf(psz));
}

template <class Char>
void CStringT<Char>::Append(PCXSTR pch, int nLength) {
  AppendUnits(pch, nLength);
}

template <class Char>
void CStringT<Char>::Append(const CStringT& str) {
  AppendUnits(str.m_pszData, str.GetLength());
}

template <class Char>
void CStringT<Char>::AppendChar(Char ch) {
  const int nLength = GetLength();
  if (nLength == GetHeader()->nAllocLength) Reserve(CheckedSum(nLength, 1), true);
  m_pszData[nLength] = ch;
  SetLength(nLength + 1);
}

template <class Char>
CStringT<Char>& CStringT<Char>::operator+=(const CStringT& str) {
  AppendUnits(str.m_pszData, str.GetLength());
  return *this;
}

template <class Char>
CStringT<Char>& CStringT<Char>::operator+=(PCXSTR psz) {
  AppendUnits(psz, LengthOf(psz));
  return *this;
}

template <class Char>
CStringT<Char>& CStringT<Char>::operator+=(Char ch) {
  AppendChar(ch);
  return *this;
}

template <class Char>
int CStringT<Char>::InsertUnits(int i, PCXSTR pch, int nLength) {
  const int nOldLength = GetLength();
  if (nLength == 0) return nOldLength;
  if (PointsIntoBuffer(pch)) {
    // Making room moves the text being inserted; insert a copy instead.
    const CStringT copy(pch, nLength);
    return InsertUnits(i, copy.m_pszData, nLength);
  }
  i = std::clamp(i, 0, nOldLength);
  const int nNewLength = CheckedSum(nOldLength, nLength);
  const PXSTR data = Reserve(nNewLength, true);
  Traits<Char>::move(data + i + nLength, data + i, static_cast<std::size_t>(nOldLength - i));
  Traits<Char>::copy(data + i, pch, static_cast<std::size_t>(nLength));
  SetLength(nNewLength);
  return nNewLength;
}

template <class Char>
int CStringT<Char>::Insert(int i, Char ch) {
  return InsertUnits(i, &ch, 1);
}

template <class Char>
int CStringT<Char>::Insert(int i, PCXSTR psz) {
  return InsertUnits(i, psz, LengthOf(psz));
}

// ---- removing and replacing ----------------------------------------------

template <class Char>
int CStringT<Char>::Delete(int i, int nCount) {
  const int nLength = GetLength();
  i = std::clamp(i, 0, nLength);
  nCount = std::clamp(nCount, 0, nLength - i);
  if (nCount == 0) return nLength;
  Traits<Char>::move(m_pszData + i, m_pszData + i + nCount,
                     static_cast<std::size_t>(nLength - i - nCount));
  SetLength(nLength - nCount);
  return nLength - nCount;
}

template <class Char>
int CStringT<Char>::Remove(Char ch) {
  const int nLength = GetLength();
  const PXSTR end = m_pszData + nLength;
  const int nRemoved = static_cast<int>(end - std::remove(m_pszData, end, ch));
  if (nRemoved > 0) SetLength(nLength - nRemoved);
  return nRemoved;
}

template <class Char>
int CStringT<Char>::Replace(Char chOld, Char chNew) {
  int nCount = 0;
  const PXSTR end = m_pszData + GetLength();
  for (PXSTR p = m_pszData; p != end; ++p) {
    p = const_cast<PXSTR>(Traits<Char>::find(p, static_cast<std::size_t>(end - p), chOld));
    if (p == nullptr) break;
    *p = chNew;
    ++nCount;
  }
  return nCount;
}

template <class Char>
int CStringT<Char>::Replace(PCXSTR pszOld, PCXSTR pszNew) {
  if (PointsIntoBuffer(pszOld) || PointsIntoBuffer(pszNew)) {
    // Replacing rewrites this block; work from copies of the two texts.
    const CStringT oldCopy(pszOld);
    const CStringT newCopy(pszNew);
    return Replace(oldCopy.m_pszData, newCopy.m_pszData);
  }
  const View<Char> oldText(OrEmpty(pszOld));
  const View<Char> newText(OrEmpty(pszNew));
  const View<Char> text = ViewOf(*this);
  if (oldText.empty()) return 0;
  const std::size_t first = FindSubstring(text, oldText, 0);
  if (first == View<Char>::npos) return 0;

  if (newText.size() <= oldText.size()) {
    const ReplaceResult result = WriteReplaced(m_pszData, text, oldText, newText, first);
    SetLength(result.nLength);
    return result.nCount;
  }
  const int nCount = CountMatches(text, oldText, first);
  const int nNewLength = CheckedInt(static_cast<long long>(text.size()) +
                                    static_cast<long long>(nCount) *
                                        static_cast<long long>(newText.size() - oldText.size()));
  CStringT grown;
  const ReplaceResult result =
      WriteReplaced(grown.Reserve(nNewLength, false), text, oldText, newText, first);
  grown.SetLength(result.nLength);
  *this = std::move(grown);
  return nCount;
}

// ---- case, order and white space -------------------------------------------

template <class Char>
CStringT<Char>& CStringT<Char>::MakeUpper() {
  std::transform(m_pszData, m_pszData + GetLength(), m_pszData, ToAsciiUpper<Char>);
  return *this;
}

template <class Char>
CStringT<Char>& CStringT<Char>::MakeLower() {
  std::transform(m_pszData, m_pszData + GetLength(), m_pszData, ToAsciiLower<Char>);
  return *this;
}

template <class Char>
CStringT<Char>& CStringT<Char>::MakeReverse() {
  std::reverse(m_pszData, m_pszData + GetLength());
  return *this;
}

template <class Char>
CStringT<Char>& CStringT<Char>::KeepRange(int iFirst, int iEnd) {
  if (iFirst == 0 && iEnd == GetLength()) return *this;
  const int nKept = std::max(iEnd - iFirst, 0);
  Traits<Char>::move(m_pszData, m_pszData + iFirst, static_cast<std::size_t>(nKept));
  SetLength(nKept);
  return *this;
}

template <class Char>
CStringT<Char>& CStringT<Char>::Trim() {
  return TrimRight().TrimLeft();
}

template <class Char>
CStringT<Char>& CStringT<Char>::TrimLeft() {
  return KeepRange(FirstKept(ViewOf(*this), IsAsciiSpace<Char>), GetLength());
}

template <class Char>
CStringT<Char>& CStringT<Char>::TrimRight() {
  return KeepRange(0, EndKept(ViewOf(*this), IsAsciiSpace<Char>));
}

template <class Char>
CStringT<Char>& CStringT<Char>::Trim(Char ch) {
  return TrimRight(ch).TrimLeft(ch);
}

template <class Char>
CStringT<Char>& CStringT<Char>::TrimLeft(Char ch) {
  return KeepRange(FirstKept(ViewOf(*this), [ch](Char unit) { return unit == ch; }), GetLength());
}

template <class Char>
CStringT<Char>& CStringT<Char>::TrimRight(Char ch) {
  return KeepRange(0, EndKept(ViewOf(*this), [ch](Char unit) { return unit == ch; }));
}

// ---- searching and comparing -----------------------------------------------

template <class Char>
int CStringT<Char>::Find(Char ch, int iStart) const noexcept {
  const int nLength = GetLength();
  if (iStart < 0 || iStart >= nLength) return -1;
  const PCXSTR hit =
      Traits<Char>::find(m_pszData + iStart, static_cast<std::size_t>(nLength - iStart), ch);
  return hit ? static_cast<int>(hit - m_pszData) : -1;
}

template <class Char>
int CStringT<Char>::Find(PCXSTR pszSub, int iStart) const noexcept {
  if (iStart < 0 || iStart > GetLength()) return -1;
  const std::size_t at =
      FindSubstring(ViewOf(*this), View<Char>(OrEmpty(pszSub)), static_cast<std::size_t>(iStart));
  return at == View<Char>::npos ? -1 : static_cast<int>(at);
}

template <class Char>
int CStringT<Char>::ReverseFind(Char ch) const noexcept {
  const std::size_t at = ViewOf(*this).rfind(ch);
  return at == View<Char>::npos ? -1 : static_cast<int>(at);
}

template <class Char>
int CStringT<Char>::FindOneOf(PCXSTR pszCharSet) const noexcept {
  const std::size_t at = ViewOf(*this).find_first_of(OrEmpty(pszCharSet));
  return at == View<Char>::npos ? -1 : static_cast<int>(at);
}

template <class Char>
int CStringT<Char>::Compare(PCXSTR psz) const noexcept {
  if constexpr (std::is_same_v<Char, char>) {
    return std::strcmp(m_pszData, OrEmpty(psz));  // compares as unsigned char
  } else {
    return CompareUnits(m_pszData, OrEmpty(psz), std::identity{});
  }
}

template <class Char>
int CStringT<Char>::CompareNoCase(PCXSTR psz) const noexcept {
  return CompareUnits(m_pszData, OrEmpty(psz), ToAsciiLower<Char>);
}

// ---- pieces ----------------------------------------------------------------

template <class Char>
CStringT<Char> CStringT<Char>::Left(int nCount) const {
  return Mid(0, nCount);
}

template <class Char>
CStringT<Char> CStringT<Char>::Mid(int iFirst) const {
  return Mid(iFirst, GetLength());
}

template <class Char>
CStringT<Char> CStringT<Char>::Mid(int iFirst, int nCount) const {
  const int nLength = GetLength();
  iFirst = std::clamp(iFirst, 0, nLength);
  nCount = std::clamp(nCount, 0, nLength - iFirst);
  return CStringT(m_pszData + iFirst, nCount);
}

template <class Char>
CStringT<Char> CStringT<Char>::Right(int nCount) const {
  const int nLength = GetLength();
  nCount = std::clamp(nCount, 0, nLength);
  return Mid(nLength - nCount, nCount);
}

// ---- buffer access ---------------------------------------------------------

template <class Char>
auto CStringT<Char>::GetBuffer() -> PXSTR {
  return GetBuffer(0);
}

template <class Char>
auto CStringT<Char>::GrowBuffer(int nMinLength) -> PXSTR {
  if (nMinLength < 0) AfxThrowInvalidArgException();
  return Reserve(std::max(nMinLength, GetLength()), true);
}

template <class Char>
void CStringT<Char>::ReleaseBufferAtNul(int nNewLength) {
  if (nNewLength < -1) AfxThrowInvalidArgException();
  const int nRoom = GetHeader()->nAllocLength;
  SetLength(static_cast<int>(UnitsBeforeNul(m_pszData, static_cast<std::size_t>(nRoom))));
}

template <class Char>
void CStringT<Char>::Preallocate(int nLength) {
  if (nLength < 0) AfxThrowInvalidArgException();
  Reserve(nLength, true);
}

template <class Char>
void CStringT<Char>::FreeExtra() {
  // Also the shared empty string, whose room and length are both 0.
  if (GetHeader()->nAllocLength == GetLength()) return;
  m_pszData = reinterpret_cast<PXSTR>(ResizeBlock<Header, Char>(GetHeader(), GetLength()) + 1);
}

template <class Char>
int CStringT<Char>::GetAllocLength() const noexcept {
  return GetHeader()->nAllocLength;
}

// ---- concatenation ---------------------------------------------------------

template <class Char>
CStringT<Char> operator+(const CStringT<Char>& lhs, const CStringT<Char>& rhs) {
  return Concat(lhs.GetString(), lhs.GetLength(), rhs.GetString(), rhs.GetLength());
}

template <class Char>
CStringT<Char> operator+(const CStringT<Char>& lhs, const Char* rhs) {
  return Concat(lhs.GetString(), lhs.GetLength(), OrEmpty(rhs), LengthOf(rhs));
}

template <class Char>
CStringT<Char> operator+(const Char* lhs, const CStringT<Char>& rhs) {
  return Concat(OrEmpty(lhs), LengthOf(lhs), rhs.GetString(), rhs.GetLength());
}

template <class Char>
CStringT<Char> operator+(const CStringT<Char>& lhs, Char rhs) {
  return Concat(lhs.GetString(), lhs.GetLength(), &rhs, 1);
}

template class CStringT<WCHAR>;

// ---- formatting (narrow units only) -------------------------------------------

// Defined after the wide instantiation above, which therefore leaves them out:
// some compilers instantiate constrained members on explicit instantiation.

template <class Char>
void CStringT<Char>::Format(PCXSTR pszFormat, ...) requires(sizeof(Char) == 1) {
  va_list args;
  va_start(args, pszFormat);
  try {
    FormatV(pszFormat, args);
  } catch (...) {
    va_end(args);
    throw;
  }
  va_end(args);
}

template <class Char>
void CStringT<Char>::FormatV(PCXSTR pszFormat, va_list args) requires(sizeof(Char) == 1) {
  FormatToScratch(pszFormat, args,
                  [this](const char* text, int nLength) { Assign(text, nLength); });
}

template <class Char>
void CStringT<Char>::AppendFormat(PCXSTR pszFormat, ...) requires(sizeof(Char) == 1) {
  va_list args;
  va_start(args, pszFormat);
  try {
    AppendFormatV(pszFormat, args);
  } catch (...) {
    va_end(args);
    throw;
  }
  va_end(args);
}

template <class Char>
void CStringT<Char>::AppendFormatV(PCXSTR pszFormat, va_list args) requires(sizeof(Char) == 1) {
  FormatToScratch(pszFormat, args,
                  [this](const char* text, int nLength) { Append(text, nLength); });
}

template class CStringT<char>;

template CStringA operator+(const CStringA&, const CStringA&);
template CStringA operator+(const CStringA&, const char*);
template CStringA operator+(const char*, const CStringA&);
template CStringA operator+(const CStringA&, char);
template CStringW operator+(const CStringW&, const CStringW&);
template CStringW operator+(const CStringW&, const WCHAR*);
template CStringW operator+(const WCHAR*, const CStringW&);
template CStringW operator+(const CStringW&, WCHAR);
