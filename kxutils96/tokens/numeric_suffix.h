// Compact letter codes split into one element per letter: stand-alone letters
// alone, suffix letters with the digits that follow them ("LP12" gives "L",
// "P12"). Used for the label-row letters of the host's worksheets.
#pragma once

#include <kxutils96/frame/host_object.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/strings/zqv_string_array.h>

namespace kxu::tokens {

// The results of the letter-code splitters other than an element count.
enum NumericSuffixError : int {
  kSuffixMissingArgument = -1,  // a null text, array or letter set
  kSuffixDuplicate = -97,       // an element would repeat one already in the array
  kSuffixBadByte = -98,         // a byte 0x80 or above, or neither letter, digit nor skippable
  kSuffixStrayDigit = -99,      // a digit after neither a digit nor a suffix letter
  kSuffixLeadingDigit = -100,   // a digit as the first byte
};

// Flags of kxutilsSeparateWksLabelsChar.
enum WksLabelFlags : int {
  kWksAllowDuplicates = 1,
  kWksWithoutG = 2,  // 'G' is not a label letter
};

}  // namespace kxu::tokens

extern "C" {

// Reads the UTF-8 `lpcszText` byte by byte and appends to the caller's
// `pResult` (not emptied; its elements take part in the duplicate test) one
// element per letter of `lpcszStandAlone` or `lpcszSuffix` (exact bytes), a
// suffix letter carrying the digits that follow it. Bytes of utlCharClass
// class 8 (blank, tab, , ; : . and the like) are skipped. Unless
// `bAllowDuplicates` is nonzero an element equal to an earlier one fails.
// Returns the element count of `pResult`, or a kxu::tokens::NumericSuffixError
// (-97 to -100) with the elements appended so far left in place; -1 when
// any pointer is null, changing nothing. Time is linear in the text and the
// array.
// Example: "LP12" with stand-alone "L", suffix "P" appends "L", "P12", returns 2.
KXU_API int kxutilsSeparateCharWithNumericSuffix(const char* lpcszText, CZQVStringArray* pResult,
                                                 const char* lpcszStandAlone,
                                                 const char* lpcszSuffix, int bAllowDuplicates);

// The script's kxutilsSeparateCharWithNumericSuffix with duplicates not
// allowed: the host object, when not null, is replaced by its string array, a
// null one by a null array (giving -1).
// Example: "AB1" with "A" and "B" appends "A", "B1" and returns 2.
KXU_API int kxu_separate_char_with_numeric_suffix(const char* lpcszText, HostObject* pResult,
                                                  const char* lpcszStandAlone,
                                                  const char* lpcszSuffix);

// kxutilsSeparateCharWithNumericSuffix on the upper-cased `lpcszText` with the
// worksheet label letters: stand-alone "LUCSREGF" (without 'G' under
// kWksWithoutG), suffix "PDO"; duplicates allowed under kWksAllowDuplicates.
// Same results.
// Example: "lp3" appends "L", "P3" and returns 2.
KXU_API int kxutilsSeparateWksLabelsChar(const char* lpcszText, CZQVStringArray* pResult,
                                         int nFlags);

}  // extern "C"
