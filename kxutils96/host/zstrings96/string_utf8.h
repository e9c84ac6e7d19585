// CStringUTF8: the host's UTF-8 string. Positions and lengths count bytes.
//
// A value type one pointer wide: copies are independent, and an object may be
// moved to another address as raw bytes and stays valid there (the sort
// routines move elements so). It is the framework's narrow string underneath,
// kept private so that UTF-8 text never passes silently where code-page text
// is expected. Every operation behaves as the framework's CStringT documents
// (clipping of positions and counts, ASCII-only case and white space, so the
// bytes of multi-byte characters are never altered).
//
// Example: CStringUTF8 s("Grüße"); s.GetLength() == 7; s.Find("e") == 6.
#pragma once

#include <cstdarg>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>

#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/framework/afx_string.h>

class KXU_API CStringUTF8 : private CStringA {
 public:
  CStringUTF8() noexcept = default;
  CStringUTF8(const char* psz) : CStringA(psz) {}  // NOLINT: implicit by design
  CStringUTF8(const char* pch, int nLength) : CStringA(pch, nLength) {}
  // `n` copies of `ch`.
  CStringUTF8(char ch, int n) : CStringA(ch, n) {}
  CStringUTF8(const CStringUTF8&) = default;
  CStringUTF8(CStringUTF8&&) noexcept = default;
  ~CStringUTF8() = default;

  CStringUTF8& operator=(const CStringUTF8&) = default;
  CStringUTF8& operator=(CStringUTF8&&) noexcept = default;
  CStringUTF8& operator=(const char* psz) {
    CStringA::operator=(psz);
    return *this;
  }

  using CStringA::GetAt;
  using CStringA::GetLength;
  using CStringA::GetString;
  using CStringA::IsEmpty;
  using CStringA::operator[];
  using CStringA::operator const char*;

  using CStringA::AppendChar;
  using CStringA::Delete;
  using CStringA::Empty;
  using CStringA::Insert;
  using CStringA::Remove;
  using CStringA::Replace;
  using CStringA::SetAt;
  void Append(const char* psz) { CStringA::Append(psz); }
  void Append(const char* pch, int nLength) { CStringA::Append(pch, nLength); }
  void Append(const CStringUTF8& str) { CStringA::Append(str); }
  CStringUTF8& operator+=(const CStringUTF8& str) { return Self(CStringA::operator+=(str)); }
  CStringUTF8& operator+=(const char* psz) { return Self(CStringA::operator+=(psz)); }
  CStringUTF8& operator+=(char ch) { return Self(CStringA::operator+=(ch)); }

  CStringUTF8& MakeUpper() { return Self(CStringA::MakeUpper()); }
  CStringUTF8& MakeLower() { return Self(CStringA::MakeLower()); }
  CStringUTF8& Trim() { return Self(CStringA::Trim()); }
  CStringUTF8& TrimLeft() { return Self(CStringA::TrimLeft()); }
  CStringUTF8& TrimRight() { return Self(CStringA::TrimRight()); }
  CStringUTF8& Trim(char ch) { return Self(CStringA::Trim(ch)); }
  CStringUTF8& TrimLeft(char ch) { return Self(CStringA::TrimLeft(ch)); }
  CStringUTF8& TrimRight(char ch) { return Self(CStringA::TrimRight(ch)); }

  using CStringA::Compare;
  using CStringA::CompareNoCase;
  using CStringA::Find;
  using CStringA::FindOneOf;
  using CStringA::ReverseFind;

  CStringUTF8 Left(int nCount) const { return CStringUTF8(CStringA::Left(nCount)); }
  CStringUTF8 Mid(int iFirst) const { return CStringUTF8(CStringA::Mid(iFirst)); }
  CStringUTF8 Mid(int iFirst, int nCount) const {
    return CStringUTF8(CStringA::Mid(iFirst, nCount));
  }
  CStringUTF8 Right(int nCount) const { return CStringUTF8(CStringA::Right(nCount)); }

  // printf-style formatting that replaces the content.
  void Format(const char* pszFormat, ...);
  void FormatV(const char* pszFormat, va_list args) { CStringA::FormatV(pszFormat, args); }

  using CStringA::FreeExtra;
  using CStringA::GetAllocLength;
  using CStringA::GetBuffer;
  using CStringA::GetBufferSetLength;
  using CStringA::Preallocate;
  using CStringA::ReleaseBuffer;

 private:
  explicit CStringUTF8(CStringA&& str) noexcept : CStringA(std::move(str)) {}
  CStringUTF8& Self(CStringA& /*base*/) noexcept { return *this; }
};

KXU_API CStringUTF8 operator+(const CStringUTF8& lhs, const CStringUTF8& rhs);
KXU_API CStringUTF8 operator+(const CStringUTF8& lhs, const char* rhs);
KXU_API CStringUTF8 operator+(const char* lhs, const CStringUTF8& rhs);

inline bool operator==(const CStringUTF8& lhs, const char* rhs) noexcept {
  return lhs.Compare(rhs) == 0;
}
inline bool operator!=(const CStringUTF8& lhs, const char* rhs) noexcept {
  return lhs.Compare(rhs) != 0;
}

static_assert(sizeof(CStringUTF8) == sizeof(void*), "CStringUTF8 is one pointer wide");

namespace kxu::zstrings96 {

// Makes `str` hold exactly `bytes` (NULs included), reusing its storage when
// it is large enough; empty `bytes` take no storage. `bytes` must not lie
// inside `str`. More than INT_MAX bytes raise CMemoryException, `str` unchanged.
// Example: AssignBytes(s, std::string_view("a\0b", 3)) leaves s.GetLength() == 3.
inline void AssignBytes(CStringUTF8& str, std::string_view bytes) {
  if (bytes.empty()) {
    if (!str.IsEmpty()) str.GetBufferSetLength(0);
    return;
  }
  std::memcpy(str.GetBufferSetLength(kxu::platform::CheckedInt(bytes.size())), bytes.data(),
              bytes.size());
}

// True when `p` points into `str`'s text or at its terminator: a text there
// changes when `str` is written.
inline bool PointsInto(const CStringUTF8& str, const char* p) noexcept {
  const std::less_equal<const char*> notAfter;
  return notAfter(str.GetString(), p) && notAfter(p, str.GetString() + str.GetLength());
}

}  // namespace kxu::zstrings96
