// The typed sort family: sorts a buffer or an array of one of thirteen
// element types in place under a flags word, carrying an optional index
// array along so that a caller can learn where each element came from.
//
// Every function here reads and rearranges the caller's buffer (or array)
// and the first `count` entries of the caller's index array, and nothing
// else; it keeps nothing and reports nothing. Every sort runs the element
// type's stable sort: elements equal under the flags (texts equal but for
// case, -0 and +0, two NaNs) keep their relative order, in descending order
// too. NaNs, which compare equal to every number, end next to the largest
// number: after it in ascending order, before it in descending order (NANUM,
// when its mode places it, stays outermost). The stable sorts take working
// memory of about one and a half to three times the buffer and index array
// (numbers: a radix sort from 64 elements on; texts: one key per element);
// when that cannot be had, the sort goes to utlSortRange with the element
// width, the comparator of the element type and the address of the flags,
// which sorts in place, allocating nothing, and is not stable: equal
// elements may end in any order.
//
// Example: int a[] = {30, 10, 20}; CArray<int, int> idx; (idx filled 0, 1, 2)
// kxutilsSortBuff(a, 3, 0, &idx) leaves a = 10, 20, 30 and idx = 1, 2, 0.
#pragma once

#include <bit>
#include <cstdint>

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/framework/afx_coll.h>
#include <kxutils96/strings/zqv_string_array.h>

// The host's missing-value marker, recognised by exact numeric equality.
inline constexpr double NANUM = -1.23456789e-300;
static_assert(std::bit_cast<std::uint64_t>(NANUM) == 0x81AA74FE1C132C0EULL, "NANUM's bit pattern");

// The sort flags word. Bits 0-3 hold the missing-value mode (a number, not a
// set of bits); the other flags are single bits; unlisted bits are ignored.
enum SortFlags : unsigned long {
  // The missing-value mode: NANUM in double comparisons (and numeric text).
  SORT_MISSING_MASK = 0x0F,
  // Mode 1: NANUM orders below every other number.
  SORT_MISSING_LOW = 0x01,
  // Mode 2: NANUM orders above every other number. Modes 0 and 3-15: NANUM is
  // an ordinary number (just below zero).
  SORT_MISSING_HIGH = 0x02,
  // Every comparison's result is negated as its last step, which also
  // reverses the missing-value placement.
  SORT_DESCENDING = 0x10,
  // Texts compare case-sensitively (else case-insensitively, A-Z folded).
  SORT_CASE_SENSITIVE = 0x20,
  // CStringUTF8 elements compare by the numbers their texts spell; a text
  // that the numeric converter rejects counts as NANUM.
  SORT_NUMERIC_TEXT = 0x40,
};

// Sorts the `nCount` elements at `pBuffer` in place, ascending unless
// `flags` has SORT_DESCENDING, and rearranges entries 0 to nCount - 1 of
// `pIndex` (may be null) exactly as the elements: the entry that stood at
// position i ends where element i ends. The index array is neither sized nor
// filled. Orders: integers by value in their own signedness (plain char is
// signed); float by value; double by value with NANUM placed by the
// missing-value mode; const char* texts (null first) byte-wise unsigned with
// SORT_CASE_SENSITIVE, else as _stricmp; CStringUTF8 as Compare or
// CompareNoCase, or by number with SORT_NUMERIC_TEXT. The caller owns the
// buffer and the index array; CStringUTF8 objects are moved as raw bytes,
// never copied. An index array whose entries share bytes with the buffer
// (an integer array that is its own index array) is not carried along: those
// bytes are elements, and end sorted as such. Bad input changes nothing: a
// count of 1 or less (negative included), a null buffer, or an index array
// holding fewer than `nCount` entries.
// Example: double d[] = {3, NANUM, 1}; kxutilsSortBuff(d, 3, SORT_MISSING_LOW,
// nullptr) leaves NANUM, 1, 3.
KXU_API void kxutilsSortBuff(char* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(unsigned char* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(short* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(int* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(unsigned int* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(long* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(unsigned long* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(float* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(double* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(const char** pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(CStringUTF8* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(long long* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);
KXU_API void kxutilsSortBuff(unsigned long long* pBuffer, int nCount, unsigned long flags,
                             CArray<int, int>* pIndex);

// Sorts the array's elements as kxutilsSortBuff does with its data and its
// current size; the array's size never changes.
// Example: CArray<double, double> a (3, 1, 2); kxutilsSort(a, SORT_DESCENDING,
// nullptr) leaves 3, 2, 1.
KXU_API void kxutilsSort(CArray<char, char>& array, unsigned long flags, CArray<int, int>* pIndex);
KXU_API void kxutilsSort(CArray<unsigned char, unsigned char>& array, unsigned long flags,
                         CArray<int, int>* pIndex);
KXU_API void kxutilsSort(CArray<short, short>& array, unsigned long flags,
                         CArray<int, int>* pIndex);
KXU_API void kxutilsSort(CArray<int, int>& array, unsigned long flags, CArray<int, int>* pIndex);
KXU_API void kxutilsSort(CArray<unsigned int, unsigned int>& array, unsigned long flags,
                         CArray<int, int>* pIndex);
KXU_API void kxutilsSort(CArray<long, long>& array, unsigned long flags, CArray<int, int>* pIndex);
KXU_API void kxutilsSort(CArray<unsigned long, unsigned long>& array, unsigned long flags,
                         CArray<int, int>* pIndex);
KXU_API void kxutilsSort(CArray<float, float>& array, unsigned long flags,
                         CArray<int, int>* pIndex);
KXU_API void kxutilsSort(CArray<double, double>& array, unsigned long flags,
                         CArray<int, int>* pIndex);
KXU_API void kxutilsSort(CArray<const char*, const char*>& array, unsigned long flags,
                         CArray<int, int>* pIndex);
KXU_API void kxutilsSort(CArray<long long, long long>& array, unsigned long flags,
                         CArray<int, int>* pIndex);
KXU_API void kxutilsSort(CArray<unsigned long long, unsigned long long>& array, unsigned long flags,
                         CArray<int, int>* pIndex);

// Sorts the strings of `array` as kxutilsSortBuff does for CStringUTF8 with
// the array's first string and its number of strings; an empty array is left
// as it is.
// Example: array "b", "A", "c" with flags 0 becomes "A", "b", "c".
KXU_API void kxutilsSort(CZQVStringArray& array, unsigned long flags, CArray<int, int>* pIndex);
