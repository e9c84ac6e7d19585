// Counting how often each distinct string of a string array occurs.
#pragma once

#include <kxutils96/frame/host_object.h>
#include <kxutils96/kxu_export.h>

// Options of kxu_discrete_frequencies, as bits; other bits are ignored.
enum DiscreteFrequencyOptions : int {
  // Strings compare case-sensitively, when sorting and when grouping (else
  // case-insensitively).
  kFrequenciesCaseSensitive = 1,
  // Every input string is trimmed of leading and trailing white space first.
  kFrequenciesTrim = 2,
};

extern "C" {

// Reads the string array of `pInput` and sorts it in place (trimming every
// string first with kFrequenciesTrim); appends each distinct string, in
// sorted order, to the string array of `pOutput` (not emptied first); writes
// the size of the k-th group, as a double, to pFrequencies[k] (room for one
// per distinct string, at most one per input string) and the number of
// groups to *pnCount. A group is a run of neighbours equal by Compare
// (kFrequenciesCaseSensitive) or CompareNoCase, represented by its first
// string. The input ends as kxutilsSort leaves it, stably sorted: members of
// a group keep their input order, so the first one met represents it.
// The caller owns all objects and buffers; the input and output may be one
// array, which then ends with the sorted input followed by the groups.
// Returns 1 when done; 0 when the input array holds no string (nothing
// written, whatever the buffers); -1 when an object is null or yields no
// array (input object, input array, output object, output array, in that
// order), or when the input holds strings and `pFrequencies` or `pnCount` is
// null, changing nothing.
// Example: input "b", "a", "b" gives output "a", "b", frequencies 1.0, 2.0,
// count 2, returns 1, and leaves the input "a", "b", "b".
KXU_API int kxu_discrete_frequencies(HostObject* pInput, HostObject* pOutput, double* pFrequencies,
                                     int* pnCount, int nOptions);

}  // extern "C"
