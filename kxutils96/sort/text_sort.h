// The stable sorts of the family's text element types: one key per element
// (its 8-byte prefix, or its number in numeric text mode), a sort of the
// keys with their positions, then the elements moved into that order.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>

namespace kxu::sort {

// Sorts the `n` texts at `texts` (n >= 2) by the family's const char* rule
// under `flags` (null first, case-sensitive or _stricmp order, descending),
// stably: texts equal under the rule (null and null, "abc" and "ABC" without
// SORT_CASE_SENSITIVE) keep their relative order. Entries 0 to n - 1 of
// `index` (may be null) move with the texts. Returns false, having changed
// nothing, when the working memory cannot be had.
bool SortTextsStably(const char** texts, int n, unsigned long flags, int* index);

// The same for CStringUTF8 by the family's rule: Compare or CompareNoCase
// order, or with SORT_NUMERIC_TEXT the order of the numbers the texts spell
// (each converted once), as the double rule orders them under `flags`.
// Strings move as raw objects.
bool SortStringsStably(CStringUTF8* strings, int n, unsigned long flags, int* index);

}  // namespace kxu::sort
