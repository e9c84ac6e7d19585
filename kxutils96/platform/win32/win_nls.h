// The system's text conversions between code pages and UTF-16, with the
// system's contract:
//   - a null output buffer with an output size of 0 asks for the size the
//     conversion needs;
//   - a source length of -1 means "up to and including the terminating NUL",
//     and the result then counts that NUL; any other length converts exactly
//     that many units, NULs included, and adds no terminator;
//   - the result is the number of units written (or needed), and 0 means the
//     call failed, with GetLastError() telling why: ERROR_INVALID_PARAMETER
//     (null source, a length of 0 or below -1, a null buffer with a nonzero
//     size, a negative size, a code page that is not served, a default
//     character or used-default report with UTF-8), ERROR_INVALID_FLAGS,
//     ERROR_INSUFFICIENT_BUFFER (the output was written as far as it fits),
//     ERROR_NO_UNICODE_TRANSLATION (invalid input under a strict flag) or
//     ERROR_ARITHMETIC_OVERFLOW (a result past INT_MAX).
//
// On Windows these are the system's own calls. On POSIX the platform serves
// them as follows. UTF-8 (65001) is the platform's own codec (see unicode.h).
// The pseudo pages stand for the pages of a US-English system: CP_ACP and
// CP_THREAD_ACP for the ANSI page (see GetACP), CP_OEMCP for 437, CP_MACCP for
// 10000.
//
// Through tables built from the C library's converter: the OEM pages 437,
// 737, 775, 850, 852, 855, 857, 860 to 866 and 869; the ANSI pages 874, 932,
// 936, 949, 950 and 1250 to 1258; Johab (1361); the Mac pages 10000 (Roman),
// 10007 (Cyrillic), 10017 (Ukrainian) and 10029 (Central European), and the
// East Asian Mac pages, whose double-byte codes the system reads as the
// national standards: 10001 (Japanese, as 932, but for the system's 116 codes
// of Apple's additions in rows 0x85 to 0x87, which it reads from an earlier
// edition of Apple's table than any here), 10002 (Traditional Chinese,
// as Big5), 10003 (Korean, as KS X 1001) and 10008 (Simplified Chinese, as
// GB 2312); US-ASCII (20127); KOI8-R (20866) and KOI8-U (21866); ISO 8859-1
// to -11 and -13 to -16 (28591 to 28601, 28603 to 28606); and the two-byte
// codes of EUC-JP (51932) and EUC-KR (51949). Through tables generated at
// build time from Apple's published mappings: the Mac pages 10004 (Arabic),
// 10005 (Hebrew), 10006 (Greek), 10010 (Romanian), 10021 (Thai), 10079
// (Icelandic), 10081 (Turkish) and 10082 (Croatian), with their bytes below
// 0x80 read as ASCII. For these, every byte (and double-byte code) the page
// defines converts both ways, read as the system's tables read it where they
// differ from the source's (864's 0x25 is '%', 10000's 0xBD is U+2126,
// 28597 and 28598 without their later additions, the Mac pages without
// Apple's later euro signs and right-to-left twins of ASCII, ...). A byte
// from 0x80 to 0x9F that an OEM or ANSI page leaves undefined stands for the
// control character of the same number (1252's 0x81 is U+0081); other bytes
// a single-byte page leaves undefined are read, as the system reads them, as
// private-use characters numbered in byte order (874's 0xDB is U+F8C1), which
// MB_ERR_INVALID_CHARS refuses, as it refuses a byte read as '?' that is not
// '?' itself; 20127 reads a byte above 0x7F as its low seven bits. A lead
// byte (the double-byte pages have the system's lead bytes) takes the byte
// after it: an undefined pair, and a lead byte at the end, decode to U+30FB
// in 932 and 10001 and '?' in the other pages (or fail under the strict
// flag). The user-defined areas of 936, 949, 950, 1361 and 10002 (and 936's
// codes GBK leaves undefined) are private-use characters in row order, as
// the system reads them; Johab's codes of a single letter and its old-jamo
// row (0xDAD4 to 0xDAFE) are conjoining jamo, its 0xD9E8 undefined.
// A UTF-16 unit the page cannot encode becomes its look-alike when the page
// has one and WC_NO_BEST_FIT_CHARS is not given (U+0100 is 'A' in 1252, not
// reported as a used default); otherwise the default character '?' (each
// unit of a surrogate pair separately), reported as a used default. The
// look-alikes are the C library's one-character transliterations (as its
// C.UTF-8 locale has them) of the Latin-1 and Latin Extended-A letters and
// signs, the full-width ASCII forms (U+FF01 to U+FF5E) and the CJK
// compatibility ideographs (U+F900 to U+FA2D), per page only those blocks
// where the system writes look-alikes: none in the Mac pages and 864, only
// the full-width forms in 737, 874, 1255, 1256, 1257, 1258 and 1361, no
// full-width forms in 855, 860, 861, 863, 865, 869, 20866 and 21866, only
// Latin-1 in 932, no Latin Extended-A in 936, 949 and 950.
//
// As whole texts through the C library's converter, for pages whose codes
// run past two bytes or depend on a shift state: GB18030 (54936; the strict
// flags and WC_NO_BEST_FIT_CHARS), ISO-2022-JP (50220, 50221, 50222: the same
// JIS X 0208 form for all three, so half-width katakana are not written in
// 50221's or 50222's own forms) and UTF-7 (65000: no flags, no default character or report).
// A byte these pages do not read becomes U+FFFD (UTF-7: the character of
// its value, as the system reads it; a '+' cut short at the end is nothing)
// and the next byte is read again; a unit they cannot encode becomes the
// default character (they write no look-alikes). UTF-7 writes U+0000 as a
// NUL byte.
#pragma once

#include <algorithm>
#include <climits>
#include <string_view>

#include <kxutils96/platform/win32/win_error.h>
#include <kxutils96/platform/win32/win_nls_flags.h>
#include <kxutils96/platform/win32/win_types.h>

// Reads `cbMultiByte` bytes of `lpMultiByteStr` (-1: through its NUL) in
// `CodePage` and writes their UTF-16 form to `lpWideCharStr`, at most
// `cchWideChar` units (0: write nothing, return the size needed). `dwFlags`:
// 0 or MB_ERR_INVALID_CHARS. Returns the units written (or needed), or 0
// with the last error set. UTF-8 replaces each maximal invalid subsequence
// with U+FFFD unless the flag is given.
// Example: MultiByteToWideChar(1252, 0, "\x80", -1, nullptr, 0) == 2, and
// into a buffer of 2 it writes u"\u20AC" and its NUL.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) noexcept;

// Reads `cchWideChar` units of `lpWideCharStr` (-1: through its NUL) and
// writes their form in `CodePage` to `lpMultiByteStr`, at most `cbMultiByte`
// bytes (0: write nothing, return the size needed). `dwFlags`: for UTF-8 0
// or WC_ERR_INVALID_CHARS, for code pages 0 or WC_NO_BEST_FIT_CHARS.
// `lpDefaultChar` (code pages only; null for '?') is written for a unit the
// page cannot encode; `lpUsedDefaultChar` (code pages only; may be null)
// receives TRUE when that happened, else FALSE. Returns the bytes written (or
// needed), or 0 with the last error set.
// Example: with 1252, u"\u00E9\u4E2D" gives "\xE9?" and *lpUsedDefaultChar == TRUE.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        BOOL* lpUsedDefaultChar) noexcept;

// TRUE when the two conversions above serve `CodePage`. CP_ACP stands for a
// code page but is none itself: FALSE, as on Windows.
// Example: IsValidCodePage(1252) == TRUE; IsValidCodePage(12345) == FALSE.
BOOL IsValidCodePage(UINT CodePage) noexcept;

// The system's ANSI code page. On POSIX: from the codeset of the locale that
// the process environment names (LC_ALL, LC_CTYPE, LANG): see
// AnsiCodePageForCodeset. Read once; it does not change while the process runs.
// Example: under LANG=en_US.UTF-8, GetACP() == 65001.
UINT GetACP() noexcept;

namespace kxu::platform {

// The largest result (in units) that a whole conversion writes in one pass
// into room it has to take first: more than that is counted first, so that
// a large result takes exactly its room.
inline constexpr int kOnePassUnits = 1 << 20;

// The room a whole conversion tries first for a result of at most `nBound`
// units: the bound when the room at hand or kOnePassUnits holds it, else
// the room at hand, which a result like the one that string held before
// often fits (0: count first).
inline int OnePassRoom(long long nBound, int nRoomAtHand) noexcept {
  if (nBound <= std::max(nRoomAtHand, kOnePassUnits)) return static_cast<int>(nBound);
  return nRoomAtHand;
}

// Converts the `nBytes` bytes (1 or more) at `p` in `nCodePage` with
// `dwFlags` to UTF-16 whole, into the buffer that `reserve(nUnits)` returns
// with room for nUnits units (a later call may take the place of an earlier
// buffer). The text is converted in one pass into the room OnePassRoom
// gives for one unit per byte, which UTF-8 and every served page keep to,
// with `nRoomAtHand` the room reserve gives without allocating; when that
// room is short, it is counted first and converted into its exact room. Returns the units
// written, or 0 with the last error set.
// Example: MultiByteToWideWhole(CP_UTF8, 0, "\xC3\xA9", 2, 0, reserve) == 1,
// with reserve(2) called once.
template <class Reserve>
int MultiByteToWideWhole(UINT nCodePage, DWORD dwFlags, LPCSTR p, int nBytes, int nRoomAtHand,
                         Reserve reserve) {
  const int nFirstRoom = OnePassRoom(nBytes, nRoomAtHand);
  if (nFirstRoom > 0) {
    const int nUnits =
        MultiByteToWideChar(nCodePage, dwFlags, p, nBytes, reserve(nFirstRoom), nFirstRoom);
    if (nUnits != 0 || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return nUnits;
  }
  const int nNeeded = MultiByteToWideChar(nCodePage, dwFlags, p, nBytes, nullptr, 0);
  if (nNeeded == 0) return 0;
  return MultiByteToWideChar(nCodePage, dwFlags, p, nBytes, reserve(nNeeded), nNeeded);
}

// Converts the `nUnits` UTF-16 units (1 or more) at `p` to `nCodePage` with
// `dwFlags` whole, into the buffer that `reserve(nBytes)` returns, the same
// way with three bytes per unit, UTF-8's most, as the one-pass room.
// `pbUsedDefault` receives the used-default report as WideCharToMultiByte
// gives it.
template <class Reserve>
int WideToMultiByteWhole(UINT nCodePage, DWORD dwFlags, LPCWSTR p, int nUnits, int nRoomAtHand,
                         BOOL* pbUsedDefault, Reserve reserve) {
  constexpr long long kBytesPerUnit = 3;
  const int nFirstRoom = OnePassRoom(kBytesPerUnit * nUnits, nRoomAtHand);
  if (nFirstRoom > 0) {
    const int nBytes = WideCharToMultiByte(nCodePage, dwFlags, p, nUnits, reserve(nFirstRoom),
                                           nFirstRoom, nullptr, pbUsedDefault);
    if (nBytes != 0 || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return nBytes;
  }
  const int nNeeded =
      WideCharToMultiByte(nCodePage, dwFlags, p, nUnits, nullptr, 0, nullptr, pbUsedDefault);
  if (nNeeded == 0) return 0;
  return WideCharToMultiByte(nCodePage, dwFlags, p, nUnits, reserve(nNeeded), nNeeded, nullptr,
                             nullptr);
}

}  // namespace kxu::platform

#if !defined(_WIN32)
namespace kxu::platform {

// The Windows code page for a locale codeset name (case, '-' and '_'
// ignored): UTF-8 gives 65001, a Windows or DOS page name gives its number,
// the ISO 8859 and East Asian codesets give the matching ANSI page, and
// anything else 1252.
// Example: AnsiCodePageForCodeset("ISO-8859-2") == 1250;
// AnsiCodePageForCodeset("ANSI_X3.4-1968") == 1252.
UINT AnsiCodePageForCodeset(std::string_view codeset) noexcept;

}  // namespace kxu::platform
#endif  // !defined(_WIN32)
