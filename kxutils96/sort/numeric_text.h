// The numeric text conversion behind SORT_NUMERIC_TEXT: the host's numeric
// converter when it can be found (looked for once per process, at the first
// conversion), else utlStrToDouble.
#pragma once

namespace kxu::sort {

// The converter entry point's shape: text, address of the value, 0; nonzero
// when the text was converted.
using StrToDoubleEx = int (*)(const char* pszText, double* pValue, int nReserved);

// The value of the text at `psz` (non-null). The first call in the process
// loads ZQUTIL96.dll and looks up cvt_str_to_double_ex, once, never again
// even when that fails. With the converter, a text it rejects is NANUM;
// without it, the value is utlStrToDouble's (0 for text without a number).
// Example: NumericTextValue("10") == 10.0.
double NumericTextValue(const char* psz);

}  // namespace kxu::sort
