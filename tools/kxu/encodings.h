// The encodings `kxu` reads and writes: their names, and the conversions
// between their bytes and UTF-16 that keep NULs and tell where input is
// invalid.
#pragma once

#include <kxutils96/kxutils96.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kxu::tool {

// Pages besides the library's code pages, and the stand-ins for an encoding
// not named.
inline constexpr int kUtf8 = 65001;
inline constexpr int kUtf16Le = 1200;
inline constexpr int kUtf16Be = 1201;
inline constexpr int kHostPage = -1;        // the host's code page, as the library chooses it
inline constexpr int kDetectEncoding = -2;  // told by a mark or the first bytes
inline constexpr int kRawBytes = -3;        // bytes as they are, a mark included

// The page that `name` stands for, any letter case: a number alone or after
// "cp", "ibm" or "windows-", or a common name (utf-8, utf-16, latin1,
// shift_jis...); nothing for a name not known.
// Example: PageNamed("Windows-1252") == 1252.
std::optional<int> PageNamed(const std::string& name);

// True when the library converts from and to `page`.
bool IsServed(int page);

// Prints the pages served, NUMBER<TAB>NAMES, one per line.
void PrintServedPages();

// The names of the pages served, in the order PrintServedPages lists them.
// Example: the list holds "utf-8", "utf-16le" and "cp1252".
std::vector<std::string> ServedEncodingNames();

// "UTF-8", "UTF-16LE", "UTF-16BE" or "code page N", for messages.
std::string EncodingWords(int page);

// True for a page in which a byte past 0x7F may be half of a character.
bool IsMultiBytePage(int page);

// `bytes` in encoding `page` as UTF-16, NULs kept; invalid input becomes
// U+FFFD, an odd last byte of UTF-16 included. False when a text would not
// fit the library's strings.
bool DecodeToUtf16(std::string_view bytes, int page, CString& text);

// `text` in encoding `page`, NULs kept; a character the page lacks becomes
// '?' and sets `substituted`. False when a text would not fit.
bool EncodeFromUtf16(std::basic_string_view<WCHAR> text, int page, std::string& bytes,
                     bool& substituted);

// The offset of the first byte of `bytes` that is not part of a valid
// character of `page` (a cut last character included); nothing when all are
// valid. `text` is their DecodeToUtf16 form.
// Example: FirstInvalidByte("ab\xFF", kUtf8, text) == 2.
std::optional<size_t> FirstInvalidByte(std::string_view bytes, int page, const CString& text);

// The bytes of `text` in encoding `page`.
size_t EncodedLength(std::basic_string_view<WCHAR> text, int page);

// The offset of the first unit of `text` that page `page` lacks; nothing
// when it has them all.
std::optional<size_t> FirstUnencodableUnit(std::basic_string_view<WCHAR> text, int page);

// The view of all of `text`.
std::basic_string_view<WCHAR> Units(const CString& text);

}  // namespace kxu::tool
