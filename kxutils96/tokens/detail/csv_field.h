// The CSV field unquoting of kxutilsTokenizeOneCSVLine, visible to its tests.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>

namespace kxu::tokens::detail {

// Results of CsvUnquoteField other than the new length.
enum CsvFieldError : int {
  kFieldLoneQuote = -1,     // a " inside the field not followed by another "
  kFieldUnterminated = -2,  // a quoted field whose last byte is not "
};

// Removes the CSV quoting of `strField` in place: a first byte " and a last
// byte " go, "" inside gives ", and a field that is a lone line feed becomes
// empty. Returns the new length; kFieldLoneQuote with the field holding the
// bytes read before that quote; kFieldUnterminated with the field holding its
// text without the opening quote.
// Example: `"a""b"` becomes `a"b` and the result is 3.
int CsvUnquoteField(CStringUTF8& strField);

}  // namespace kxu::tokens::detail
