// One line of comma-separated values split into its fields, with CSV's
// double-quote rules: a field may be enclosed in double quotes, and a double
// quote inside is written twice.
#pragma once

#include <kxutils96/frame/host_object.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/strings/zqv_string_array.h>

extern "C" {

// Reads the UTF-8 `lpcszLine` and splits it at the commas that stand outside
// double or single quotes and outside brackets, angle brackets included; the
// caller's `pFields` is emptied and receives the fields in order, each with
// its CSV quoting removed: enclosing double quotes go, "" inside becomes ",
// and a field of an unquoted text that ends in " loses that byte. A field
// whose quoting is broken keeps what could be read: an unterminated quoted
// field keeps its text without the opening quote, and a field with a lone "
// inside keeps the bytes before it. Returns the number of fields, 0 for an
// empty line (a null line counts as one empty field); -1 for a null
// `pFields`, changing nothing.
// Example: `1,"a ""b""",x,` gives "1", `a "b"`, "x", "" and returns 4.
KXU_API int kxutilsTokenizeOneCSVLine(const char* lpcszLine, CZQVStringArray* pFields);

// The script's kxutilsTokenizeOneCSVLine: the host object, when not null, is
// replaced by its string array, a null one by a null array (giving -1).
// Example: "p,q" fills the object with "p", "q" and returns 2.
KXU_API int kxu_tokenize_one_csv_line(const char* lpcszLine, HostObject* pFields);

}  // extern "C"

// Reads nothing: kept for the host modules that call it. The array is taken by
// value, so the caller's array is never changed; the file name and the two
// integers are ignored. Always returns 1.
// Example: kxutilsReadCSVFile("data.csv", fields, 0, 0) == 1, fields unchanged.
KXU_API int kxutilsReadCSVFile(const char* lpcszFileName, CZQVStringArray saFields, int nReserved1,
                               int nReserved2);
