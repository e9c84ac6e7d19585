// The stable sort of the family's numeric element types: a counting sort of
// few distinct keys or a radix sort on order-preserving integer keys,
// insertion sort for short runs.
#pragma once

namespace kxu::sort {

// Below this many elements a numeric buffer is sorted by insertion sort, in
// place; from it on, when its keys take at most 256 values (and are four
// bytes or more), by counting them, else by a least-significant-digit radix
// sort (one pass per key byte that is not the same for every element),
// through working memory of one buffer and one index array (counting takes
// a byte per element besides, and no buffer when every value is its key's).
inline constexpr int kRadixSortThreshold = 64;

// From this many elements on, a radix sort whose keys differ in more than
// their 16 highest differing bits first splits the elements by those bits,
// in one pass through memory, and then sorts each part on its own, in cache;
// a part still this large is split once more by the 16 highest bits that
// differ within it (with working memory of 512 KiB besides).
inline constexpr int kBucketSortThreshold = 1 << 16;

// Sorts the `n` values at `values` (n >= 2) by the family's rule for T under
// `flags`, stably: equal values, two NaNs, a NaN and any number, -0 and +0,
// keep their relative order. NaNs (equal to every number under the rule) go
// after the largest number, before NANUM when it is placed high; descending
// order reverses the whole order, equal values still keeping theirs. Entries
// 0 to n - 1 of `index` (may be null) move with the values. Returns false,
// having changed nothing, when the working memory cannot be had.
// Example: double d[] = {2, -0.0, 0.0, 1}; SortNumbersStably(d, 4, 0, nullptr)
// leaves -0.0, 0.0, 1, 2.
template <class T>
bool SortNumbersStably(T* values, int n, unsigned long flags, int* index);

}  // namespace kxu::sort
