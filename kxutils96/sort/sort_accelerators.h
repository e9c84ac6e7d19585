// The sort family's fast paths, which utlSortRange runs in place of its own
// sort for the family's comparators.
#pragma once

namespace kxu::sort {

// Registers with utlSortRange, once per process, an accelerator for each
// comparator of ComparatorFor: a radix sort for numbers, one prefix key per
// text, numeric text converted once per string. Each reads the flags through
// the context as its comparator does and sorts stably: elements equal under
// the flags keep their relative order, in descending order too. Each takes
// working memory of about one and a half to three times the elements and
// index entries, and declines (so that utlSortRange's in-place sort runs)
// when that memory cannot be had, when the width is not its type's, or when
// more than one companion, or one of other than 4 bytes, takes part. Later
// calls return at once; any thread may call it.
void RegisterSortAccelerators();

}  // namespace kxu::sort
