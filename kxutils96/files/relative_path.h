// Expressing a path relative to a base, on the texts alone.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>

namespace kxu::files {

enum RelativePathResult : int {
  kRelativePathDone = 0,
  kRelativePathNoFolder = -1,       // a null argument, or a path without a folder
  kRelativePathNothingShared = -2,  // an empty base, or no leading folder shared
  kRelativePathTooManyLevels = -3,  // the result would climb more levels than allowed
};

}  // namespace kxu::files

extern "C" {

// Writes to the caller's `*pstrResult` the UTF-8 path `lpcszPath` relative to
// the base `lpcszBase`: the longest leading run of folders the two share (up
// to a backslash that is not their first byte, compared byte for byte, case
// included) is dropped, and each folder level of the base below it becomes
// one "..\" in front of the rest of the path. The base is a folder ending in
// a backslash, or a file whose folder is meant (the part after the base's
// last backslash is not a level). Only the backslash separates; the file
// system is never asked.
// Returns 0 with the result written; -1 when the path has no backslash at a
// byte position of 2 or more, and for any null argument; -2 when the base is
// empty or shares no leading folder with the path; -3 when the result would
// climb more than `nMaxLevels` levels (always, for a negative one). On every
// failure `*pstrResult` is left as it was.
// Example (C++ literals): base "E:\\work\\data\\" and path
// "E:\\work\\plots\\a.png" give 0 and "..\\plots\\a.png".
KXU_API int kxu_make_relative_path(CStringUTF8* pstrResult, const char* lpcszBase,
                                   const char* lpcszPath, int nMaxLevels);

}  // extern "C"
