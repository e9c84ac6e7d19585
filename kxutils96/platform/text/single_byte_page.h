// The single-byte code pages as tables of ready UTF-8 sequences, for
// converting such text to UTF-8 in one pass, one table look-up per byte.
#pragma once

#include <cstddef>

#include <kxutils96/platform/win32/win_types.h>

namespace kxu::platform {

// The two-byte UTF-8 forms of the bytes 0x80 to 0xFF of a single-byte code
// page, by byte - 0x80, in the rows of 16 that SIMD table look-ups take:
// lead and trail byte, both 0 for a byte whose form has another length (a
// character from U+0800 on, or an ASCII one).
struct TwoByteForms {
  static constexpr std::size_t kHighBytes = 128;
  alignas(16) unsigned char leads[kHighBytes];
  alignas(16) unsigned char trails[kHighBytes];
};

// Every byte's UTF-8 form under one single-byte code page: the bytes below
// 0x80 stand for themselves, every other byte for two or three bytes of
// UTF-8 (U+FFFD for a byte the page leaves undefined). Each form is held
// twice in four-byte entries padded with 0, so that a writer can store whole
// entries: ending its entry in `utf8`, for a writer going from the end of a
// text back, and starting it in `utf8Ahead`, for one going forward. The
// two-byte forms are held once more for the SIMD kernel that converts
// blocks of them.
struct SingleBytePage {
  static constexpr int kByteValues = 256;
  static constexpr int kEntryBytes = 4;

  unsigned char utf8[kByteValues][kEntryBytes];
  unsigned char utf8Ahead[kByteValues][kEntryBytes];
  unsigned char nUtf8Bytes[kByteValues];
  TwoByteForms twoByteForms;
};

// The table of `nCodePage` when it is one of the single-byte pages (437,
// 850, 874, 1250 to 1258, 20127), built on first use from
// MultiByteToWideChar, byte by byte, so that it converts as that call does;
// null for every other page (UTF-8, the double-byte and the stateful pages)
// and for a page the system does not serve. Safe from any thread.
// Example: SingleBytePageOf(1252)->utf8[0xE9] holds 00 00 C3 A9 and
// utf8Ahead[0xE9] C3 A9 00 00, with nUtf8Bytes[0xE9] == 2; SingleBytePageOf(932) is null.
const SingleBytePage* SingleBytePageOf(UINT nCodePage) noexcept;

}  // namespace kxu::platform
