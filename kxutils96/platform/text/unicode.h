// UTF-8 <-> UTF-16, the one codec of the platform layer: file names, wide file
// lines and the UTF-8 code page of the system conversions all go through it.
//
// Ill-formed input is replaced, rejected or escaped, as the caller chooses.
// When replaced, each maximal invalid UTF-8 subsequence (the longest prefix of
// a well-formed sequence, or one byte when none starts there) becomes one
// U+FFFD, and each lone surrogate of UTF-16 becomes U+FFFD. When escaped, each
// byte of such a subsequence (0x80 to 0xFF) becomes the lone surrogate U+DC00
// plus the byte, and such a surrogate turns back into its byte, so that any
// byte string survives the trip to UTF-16 and back (file names, which the
// system keeps as bytes). Surrogate pairs convert to and from four-byte
// sequences; overlong forms, encoded surrogates and values past U+10FFFF are
// invalid UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <kxutils96/platform/win32/win_types.h>

namespace kxu::platform {

// What a conversion does with ill-formed input.
enum class InvalidInput {
  kReplace,  // write U+FFFD and go on
  kReject,   // stop and report kInvalid
  kEscape,   // carry each invalid byte as U+DC80..U+DCFF and back; other
             // lone surrogates are replaced
};

enum class ConversionStatus {
  kDone,        // the whole input was converted
  kInvalid,     // ill-formed input under InvalidInput::kReject
  kBufferFull,  // the output buffer ended first
};

// The outcome of a conversion: the units written (or, without a buffer, the
// units the whole conversion needs) and how it ended. On kInvalid and
// kBufferFull, `nUnits` counts what was written before the stop, and those
// units are in the buffer.
struct ConversionResult {
  std::size_t nUnits;
  ConversionStatus status;
};

// The most UTF-16 units a UTF-8 text of `nBytes` bytes gives, in every
// mode: one per byte (four bytes give a surrogate pair, an invalid
// subsequence at most one unit per byte). With room for that bound, or for
// kMaxUtf8BytesPerUnit bytes per unit the other way, a conversion runs in
// one pass without checking its room character by character.
constexpr std::size_t Utf16UnitsBound(std::size_t nBytes) noexcept {
  return nBytes;
}
// The most UTF-8 bytes one UTF-16 unit gives (a pair gives four for two).
inline constexpr std::size_t kMaxUtf8BytesPerUnit = 3;

// Reads the UTF-8 `text` and writes its UTF-16 form into `out`, at most
// `nRoom` units, never a terminator of its own (a NUL in `text` is converted
// like any character). A null `out` writes nothing and counts the units the
// whole text needs (status kDone or kInvalid).
// Example: Utf8ToUtf16("\xC3\xA9!", buf, 8, InvalidInput::kReject) == {2, kDone}
// with buf holding u"\u00E9!".
ConversionResult Utf8ToUtf16(std::string_view text, WCHAR* out, std::size_t nRoom,
                             InvalidInput invalid) noexcept;

// Reads the UTF-16 `text` and writes its UTF-8 form into `out`, at most
// `nRoom` bytes, with the same rules as Utf8ToUtf16 (a character that would
// not fit whole is not begun).
// Example: Utf16ToUtf8(u"\U0001F600", buf, 3, InvalidInput::kReplace) == {0, kBufferFull}.
ConversionResult Utf16ToUtf8(std::basic_string_view<WCHAR> text, char* out, std::size_t nRoom,
                             InvalidInput invalid) noexcept;

// The whole text converted, ill-formed input replaced or escaped (under
// kReject the result ends where the ill-formed input begins).
// Example: Utf16ToUtf8(u"\u00E9") == "\xC3\xA9"; Utf8ToUtf16("a\x80") == u"a\uFFFD";
// Utf8ToUtf16("a\x80", InvalidInput::kEscape) == u"a\uDC80", and back to "a\x80".
std::string Utf16ToUtf8(std::basic_string_view<WCHAR> text,
                        InvalidInput invalid = InvalidInput::kReplace);
std::basic_string<WCHAR> Utf8ToUtf16(std::string_view text,
                                     InvalidInput invalid = InvalidInput::kReplace);

// The units of a piece of text at `p` (`nPiece` units, at least one) that
// end with whole characters when the text goes on after the piece: a UTF-16
// piece leaves a high surrogate at its end to the next piece, a UTF-8 piece
// a byte among its last three that begins a character of two bytes or more,
// with that character.
// Example: WholeCharacterUnits(u"ab\xD83D", 3) == 2; WholeCharacterUnits("a\xC3\xA9", 3) == 1.
std::size_t WholeCharacterUnits(const WCHAR* p, std::size_t nPiece) noexcept;
std::size_t WholeCharacterUnits(const char* p, std::size_t nPiece) noexcept;

// True when `text` is well-formed UTF-8 (no overlongs, surrogates or values
// past U+10FFFF).
// Example: IsValidUtf8("\xC3\xA9") is true; IsValidUtf8("\xC0\xAF") is false.
bool IsValidUtf8(std::string_view text) noexcept;

}  // namespace kxu::platform
