// CStringT: the framework's string, one pointer wide. CStringA holds bytes
// (code-page text), CStringW = CString holds UTF-16 code units.
//
// Ownership and layout: the object is a single pointer to its characters,
// which lie in a heap block after a small header (length, capacity); an empty
// string points at a shared, read-only empty block and owns nothing. Copies
// are independent values. Nothing points into the object itself, so a string
// may be moved to another address as raw bytes and stays valid there (the
// framework's arrays and the sort routines rely on this).
//
// Positions and lengths count code units (bytes for CStringA). Positions and
// counts outside the string are clipped as documented on each operation; an
// index that must name a character raises CInvalidArgException; a length that
// would not fit in an int raises CMemoryException, as does a failed allocation.
// Letter case and white space are the ASCII ones: bytes of 0x80 and above are
// never changed or skipped, so UTF-8 text passes through intact.
#pragma once

#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/win32/win_types.h>
#include <algorithm>
#include <cstdarg>

template <class Char>
class KXU_API CStringT {
 public:
  using XCHAR = Char;
  using PXSTR = Char*;
  using PCXSTR = const Char*;

  CStringT() noexcept;
  // The text up to its first NUL; a null pointer gives an empty string.
  CStringT(PCXSTR psz);
  // Exactly `nLength` units from `pch` (NULs included); nLength < 0 raises
  // CInvalidArgException.
  CStringT(PCXSTR pch, int nLength);
  // `nRepeat` copies of `ch`; none for nRepeat <= 0.
  explicit CStringT(Char ch, int nRepeat = 1);
  CStringT(const CStringT& other);
  CStringT(CStringT&& other) noexcept;
  ~CStringT();

  CStringT& operator=(const CStringT& other);
  CStringT& operator=(CStringT&& other) noexcept;
  CStringT& operator=(PCXSTR psz);  // null gives an empty string
  CStringT& operator=(Char ch);

  int GetLength() const noexcept { return GetHeader()->nDataLength; }
  BOOL IsEmpty() const noexcept { return GetLength() == 0; }
  // The unit at `i`; `i` may equal the length (the terminator). Otherwise
  // out of range raises CInvalidArgException.
  Char GetAt(int i) const;
  Char operator[](int i) const { return GetAt(i); }
  // Replaces the unit at `i` (0 <= i < length, else CInvalidArgException).
  void SetAt(int i, Char ch);
  // The NUL-terminated units, valid until the string next changes.
  PCXSTR GetString() const noexcept { return m_pszData; }
  operator PCXSTR() const noexcept { return m_pszData; }

  void Empty() noexcept;
  void Append(PCXSTR psz);
  void Append(PCXSTR pch, int nLength);
  void Append(const CStringT& str);
  void AppendChar(Char ch);
  CStringT& operator+=(const CStringT& str);
  CStringT& operator+=(PCXSTR psz);
  CStringT& operator+=(Char ch);

  // Insert before position `i` (clipped to 0..length); return the new length.
  int Insert(int i, Char ch);
  int Insert(int i, PCXSTR psz);
  // Removes `nCount` units from `i` (both clipped to the string); returns the
  // new length.
  int Delete(int i, int nCount = 1);
  // Removes every `ch`; returns how many were removed.
  int Remove(Char ch);
  // Replace every occurrence, left to right without overlap; return the count.
  // An empty or null `pszOld` replaces nothing; a null `pszNew` deletes.
  int Replace(Char chOld, Char chNew);
  int Replace(PCXSTR pszOld, PCXSTR pszNew);

  CStringT& MakeUpper();
  CStringT& MakeLower();
  CStringT& MakeReverse();
  // White space: blank, tab, LF, VT, FF, CR.
  CStringT& Trim();
  CStringT& TrimLeft();
  CStringT& TrimRight();
  CStringT& Trim(Char ch);
  CStringT& TrimLeft(Char ch);
  CStringT& TrimRight(Char ch);

  // Position of the first match at or after `iStart`, or -1. A start outside
  // the string gives -1 (for a text, a start equal to the length is inside,
  // and an empty text matches at the start).
  int Find(Char ch, int iStart = 0) const noexcept;
  int Find(PCXSTR pszSub, int iStart = 0) const noexcept;
  int ReverseFind(Char ch) const noexcept;
  // Position of the first unit that is one of `pszCharSet`, or -1.
  int FindOneOf(PCXSTR pszCharSet) const noexcept;

  // Negative, 0 or positive as this text orders before, equal to or after
  // `psz`, unit by unit as unsigned values up to the first NUL (a null `psz`
  // counts as empty). CompareNoCase folds ASCII letters first.
  int Compare(PCXSTR psz) const noexcept;
  int CompareNoCase(PCXSTR psz) const noexcept;

  // Pieces as new strings, with counts and positions clipped to the string:
  // a negative count gives an empty piece, a count past the end stops there.
  CStringT Left(int nCount) const;
  CStringT Mid(int iFirst) const;
  CStringT Mid(int iFirst, int nCount) const;
  CStringT Right(int nCount) const;

  // A writable buffer holding the text with room for at least `nMinLength`
  // units and a NUL (nMinLength < 0 raises CInvalidArgException). Writing
  // ends with ReleaseBuffer(len): the length becomes `len` (at most the room
  // given), or, for -1, the position of the first NUL in the buffer.
  PXSTR GetBuffer();
  // Inline, so that a string reused for texts that fit its room (the tokens of
  // one line after another) is written without a call.
  PXSTR GetBuffer(int nMinLength) {
    return HasRoomFor(nMinLength) ? m_pszData : GrowBuffer(nMinLength);
  }
  PXSTR GetBufferSetLength(int nLength) {
    const PXSTR data = GetBuffer(nLength);
    SetLength(nLength);
    return data;
  }
  void ReleaseBuffer(int nNewLength = -1) {
    if (nNewLength < 0) return ReleaseBufferAtNul(nNewLength);
    SetLength(std::min(nNewLength, GetHeader()->nAllocLength));
  }
  void Preallocate(int nLength);
  int GetAllocLength() const noexcept;
  // Gives back the room beyond the text (and its NUL); the text stays.
  void FreeExtra();

  // printf-style formatting, replacing (Format) or extending (AppendFormat)
  // the text; narrow strings only. A null format, or one the run-time's
  // printf refuses, raises CInvalidArgException and leaves the text as it
  // was. Which %ls texts printf refuses is the run-time's matter: POSIX's
  // refuses a character the locale cannot convert; the one mingw-w64 links
  // on Windows writes nothing for it and reports nothing.
  void Format(PCXSTR pszFormat, ...) requires(sizeof(Char) == 1);
  void FormatV(PCXSTR pszFormat, va_list args) requires(sizeof(Char) == 1);
  void AppendFormat(PCXSTR pszFormat, ...) requires(sizeof(Char) == 1);
  void AppendFormatV(PCXSTR pszFormat, va_list args) requires(sizeof(Char) == 1);

 private:
  // The block a non-empty string owns starts with this header; the characters
  // follow it directly, so the string reaches the header by stepping back.
  struct Header {
    int nDataLength;
    int nAllocLength;  // room for units, not counting the terminator; 0 only when shared
  };

  // The characters of the shared, read-only empty string.
  static PXSTR EmptyData() noexcept;
  Header* GetHeader() const noexcept { return reinterpret_cast<Header*>(m_pszData) - 1; }
  // True while the string points at the shared empty block (owns nothing).
  bool IsShared() const noexcept { return GetHeader()->nAllocLength == 0; }
  // True when the string owns a block with room for `nLength` units.
  bool HasRoomFor(int nLength) const noexcept {
    return nLength >= 0 && nLength <= GetHeader()->nAllocLength && !IsShared();
  }
  // GetBuffer's path when the block must grow (or nMinLength < 0 raises).
  PXSTR GrowBuffer(int nMinLength);
  // ReleaseBuffer's path for -1 (the first NUL) and for a bad length.
  void ReleaseBufferAtNul(int nNewLength);
  // True when `p` points into this string's own block, terminator included.
  bool PointsIntoBuffer(PCXSTR p) const noexcept;
  // Frees the block, if owned, and points at the shared empty one.
  void Release() noexcept;
  // Makes the string own a block with room for `nLength` units and a NUL and
  // returns its characters. With `bKeepText` the text is kept and the block
  // grows geometrically; otherwise the text may be lost and the room is exact.
  PXSTR Reserve(int nLength, bool bKeepText);
  // Sets the length (at most the room) and writes the terminator. Only a
  // length of 0 can reach the shared block, which already reads as "".
  void SetLength(int nLength) {
    if (IsShared()) return;
    GetHeader()->nDataLength = nLength;
    m_pszData[nLength] = 0;
  }
  void Assign(PCXSTR pch, int nLength);
  // What every form of Append does. Inline (defined in the library's source
  // only) so that each public form carries its own copy of the fast path.
  inline void AppendUnits(PCXSTR pch, int nLength);
  // Grows the block, keeping the text, for `nLength` units; returns `pch`,
  // found again in the new block if it pointed into the old one.
  PCXSTR GrowKeepingSource(int nLength, PCXSTR pch);
  int InsertUnits(int i, PCXSTR pch, int nLength);
  // Keeps only the units [iFirst, iEnd), moving them to the front.
  CStringT& KeepRange(int iFirst, int iEnd);

  PXSTR m_pszData;
};

using CStringA = CStringT<char>;
using CStringW = CStringT<WCHAR>;
using CString = CStringW;

extern template class CStringT<char>;
extern template class CStringT<WCHAR>;

template <class Char>
KXU_API CStringT<Char> operator+(const CStringT<Char>& lhs, const CStringT<Char>& rhs);
template <class Char>
KXU_API CStringT<Char> operator+(const CStringT<Char>& lhs, const Char* rhs);
template <class Char>
KXU_API CStringT<Char> operator+(const Char* lhs, const CStringT<Char>& rhs);
template <class Char>
KXU_API CStringT<Char> operator+(const CStringT<Char>& lhs, Char rhs);

template <class Char>
bool operator==(const CStringT<Char>& lhs, const CStringT<Char>& rhs) noexcept {
  return lhs.GetLength() == rhs.GetLength() && lhs.Compare(rhs) == 0;
}
template <class Char>
bool operator==(const CStringT<Char>& lhs, const Char* rhs) noexcept {
  return lhs.Compare(rhs) == 0;
}
template <class Char>
bool operator!=(const CStringT<Char>& lhs, const Char* rhs) noexcept {
  return lhs.Compare(rhs) != 0;
}
template <class Char>
bool operator<(const CStringT<Char>& lhs, const CStringT<Char>& rhs) noexcept {
  return lhs.Compare(rhs) < 0;
}

static_assert(sizeof(CStringA) == sizeof(void*) && sizeof(CStringW) == sizeof(void*));
