// The CSV field unquoting of kxutilsTokenizeOneCSVLine, visible to its tests.
#pragma once

#include <cstddef>
#include <string_view>

#include <kxutils96/host/zstrings96/zstrings96.h>

namespace kxu::tokens::detail {

// Results of CsvUnquoteFieldInto other than the new length.
enum CsvFieldError : int {
  kFieldLoneQuote = -1,     // a " inside the field not followed by another "
  kFieldUnterminated = -2,  // a quoted field whose last byte is not "
};

// Writes `field` without its CSV quoting to `strOut` (whose storage is reused;
// `field` must not lie inside it): a first byte " and a last byte " go, ""
// inside gives ", and a field that is a lone line feed becomes empty. Returns
// the new length; kFieldLoneQuote with `strOut` holding the bytes read before
// that quote; kFieldUnterminated with `strOut` holding the text without the
// opening quote.
// `nReadable` bytes from the field's start may be read (at least
// field.size(): the text the field lies in), which lets short fields be
// searched a block at a time.
// Example: `"a""b"` gives `a"b` and the result is 3.
int CsvUnquoteFieldInto(std::string_view field, std::size_t nReadable, CStringUTF8& strOut);

}  // namespace kxu::tokens::detail
