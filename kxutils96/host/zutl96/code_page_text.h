// The host's code page, and code-page text converted to UTF-8 in place.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/text/single_byte_page.h>
#include <kxutils96/platform/win32/win_types.h>

// The host's current code page, -1 while the host has none. The host writes
// it (it is exported for that); conversions given a negative code page read
// it at each call.
extern "C" KXU_API int g_nCodePage;

// The code page a conversion uses for `nCodePage`: a value of 0 or more as
// it is; a negative one selects g_nCodePage, and when that is negative too,
// the system's ANSI code page (GetACP).
// Example: with g_nCodePage == -1, utlChooseCodePage(-5) == GetACP();
// utlChooseCodePage(932) == 932.
int utlChooseCodePage(int nCodePage);

namespace kxu::zutl96 {

struct MbcsConversion;

// A conversion record's growth routine: called with the record and a new
// size in bytes (terminator included) larger than the record's, it gives the
// record a buffer of at least that size that still holds the text, stores the
// buffer and the size in the record and returns nonzero; when it cannot, it
// sets the record's failure flag and returns 0.
using MbcsGrowBuffer = int (*)(MbcsConversion* pRecord, int nNewSize);

// What utlMBCStoUTF8InPlace converts, and how it may grow it. The caller owns
// the record, the string and its buffer.
struct MbcsConversion {
  void* pOwnerSlot;        // address of a variable holding the address of the string
                           // being converted; read only by the growth routine
  MbcsGrowBuffer pfnGrow;  // the growth routine
  int nReserved;           // 0
  char* pBuffer;           // writable buffer holding the NUL-terminated text
  int nBufferSize;         // bytes of pBuffer, terminator included
  int bFailed;             // 0; the growth routine sets 1 when it fails
};

// The code page utlMBCStoUTF8InPlace reads `nCodePage` as:
// utlChooseCodePage's choice, with CP_ACP as the system's ANSI page.
// Example: ConversionPageOf(932) == 932; ConversionPageOf(CP_ACP) == GetACP().
UINT ConversionPageOf(int nCodePage);

// The bytes of the UTF-8 form of `text` (no NUL) in the single-byte `page`.
std::size_t Utf8LengthIn(const kxu::platform::SingleBytePage& page, std::string_view text) noexcept;

// Writes the UTF-8 form of `text` in `page` to `pOut`, going forward, into
// at most `nRoom` bytes, and returns the bytes written (no NUL is written);
// nullopt when the room is short (what was written is then of no use).
// Bytes of the room past the result may be written.
// Example: "caf\xE9" in 1252 with room 5 gives "caf\xC3\xA9" and 5; room 4
// gives nullopt.
std::optional<std::size_t> WriteUtf8Ahead(const kxu::platform::SingleBytePage& page,
                                          std::string_view text, char* pOut,
                                          std::size_t nRoom) noexcept;

}  // namespace kxu::zutl96

// Converts the text in `pRecord->pBuffer` (up to its NUL, within
// nBufferSize bytes) from the code page utlChooseCodePage(nCodePage) to
// UTF-8, in the same buffer, NUL-terminated. When the UTF-8 text needs more
// room than the buffer has, it calls the record's growth routine once, for
// the exact size, before it writes anything; the text is written only into
// the buffer the record then names. Returns the UTF-8 length in bytes; 0 for
// a null record or buffer, an empty text, a code page that is not served, or
// a growth that failed, and then the buffer is left as it was. Invalid bytes
// become U+FFFD (as MultiByteToWideChar replaces them); well-formed UTF-8
// under code page 65001 is returned as it is.
// Example: a record over "caf\xE9" (size 5) with code page 1252 grows to 6
// bytes and returns 5, the buffer holding "caf\xC3\xA9".
int utlMBCStoUTF8InPlace(kxu::zutl96::MbcsConversion* pRecord, int nCodePage);

// A list of strings is a run of NUL-terminated strings ended by an empty one
// ("a\0bc\0\0"); a position in it is the address of one of its strings.
// Returns the position of the string after the one at `pos`, or null when
// that is the empty end (or `pos` is null).
// Example: for "a\0bc\0\0", utlNextStrPos(list) is list + 2, and
// utlNextStrPos(list + 2) is null.
POSITION utlNextStrPos(POSITION pos);
