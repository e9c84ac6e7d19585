// The single-byte code pages as tables of ready UTF-8 sequences, for
// converting such text to UTF-8 in one pass, one table look-up per byte.
#pragma once

#include <kxutils96/platform/win32/win_types.h>

namespace kxu::platform {

// Every byte's UTF-8 form under one single-byte code page: the bytes below
// 0x80 stand for themselves, every other byte for two or three bytes of
// UTF-8 (U+FFFD for a byte the page leaves undefined). Each form is held
// twice in four-byte entries padded with 0, so that a writer can store whole
// entries: ending its entry in `utf8`, for a writer going from the end of a
// text back, and starting it in `utf8Ahead`, for one going forward.
struct SingleBytePage {
  static constexpr int kByteValues = 256;
  static constexpr int kEntryBytes = 4;

  unsigned char utf8[kByteValues][kEntryBytes];
  unsigned char utf8Ahead[kByteValues][kEntryBytes];
  unsigned char nUtf8Bytes[kByteValues];
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
