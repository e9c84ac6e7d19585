// Striking out, from a list of items (id, name and an optional extra string
// each, in parallel arrays), the items that a reference list holds unchanged.
#pragma once

#include <kxutils96/frame/host_object.h>
#include <kxutils96/kxu_export.h>

// The results of kxu_remove_unchanged_items_by_id besides a count.
enum RemoveUnchangedResult : int {
  // A host object is null, or a string array is missing.
  kRemoveMissingObject = -1,
  // The ids or names are missing, empty or of different counts, or the
  // extra array's count differs from the names'.
  kRemoveBadCurrentSide = -2,
  // The reference ids or names are missing, empty or of different counts.
  kRemoveBadReferenceSide = -3,
};

extern "C" {

// Reads the reference ids (`pRefIds`, an integer array) and reference names
// (`pRefNames`), and removes in place from the ids (`pIds`), the names
// (`pNames`) and the optional extra strings (`pExtra`, may be null) every
// item whose id occurs in the reference ids and whose name equals, ignoring
// case, the reference name at the first occurrence of that id. Items are
// judged from the last to the first. The host objects own the arrays; the
// reference arrays are only read, as they were at the start even when they
// are also the current ones, and an array given as both the names and the
// extra strings loses each item once. Returns the number of items removed, or
// (with nothing changed) kRemoveMissingObject, kRemoveBadCurrentSide or
// kRemoveBadReferenceSide as their comments say.
// Example: reference (1 "A"), (2 "B"); current (1 "a"), (2 "C"), (3 "D")
// returns 1 and leaves (2 "C"), (3 "D").
KXU_API int kxu_remove_unchanged_items_by_id(HostObject* pRefIds, HostObject* pRefNames,
                                             HostObject* pIds, HostObject* pNames,
                                             HostObject* pExtra);

}  // extern "C"
