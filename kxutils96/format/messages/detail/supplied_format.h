// printf-style formatting of a loaded message with the few values a caller
// supplied, where the message text, not the caller, decides how many
// conversions there are: a conversion is filled only when a supplied value
// of its kind is next in line, so no value is ever read that was not given.
#pragma once

#include <span>

#include <kxutils96/host/zstrings96/zstrings96.h>

namespace kxu::format {

// One supplied value: an int or a NUL-terminated UTF-8 text (not null).
struct SuppliedValue {
  enum class Kind { kInt, kText };
  Kind kind;
  int n;
  const char* psz;

  static SuppliedValue Int(int nValue) { return {Kind::kInt, nValue, nullptr}; }
  static SuppliedValue Text(const char* pszValue) { return {Kind::kText, 0, pszValue}; }
};

// Replaces `strResult` with `lpcszFormat` formatted printf-style, the values
// taken in order: %% gives %, and each conversion takes the next value when
// it fits, as printf would print it with its flags, width and precision (an
// int for d, i, o, u, x, X and c; a text for s). A conversion that does not
// fit the next value, that comes after the values ran out, that asks for a
// length modifier, a * or a $ position, or a width or precision above 4096,
// stays in the text as it was written, and takes no value. Values left over
// are ignored. `lpcszFormat` must not be null and must not lie in `strResult`.
// Example: "%s has %d rows" with {Text("T"), Int(3)} gives "T has 3 rows";
// "%d of %s" with {Text("x")} gives "%d of x".
void FormatSupplied(CStringUTF8& strResult, const char* lpcszFormat,
                    std::span<const SuppliedValue> values);

}  // namespace kxu::format
