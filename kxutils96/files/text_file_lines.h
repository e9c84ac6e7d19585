// Reading a text file line by line into a string array, with a process-wide
// cap on the number of lines one call appends.
#pragma once

#include <kxutils96/frame/host_object.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/strings/zqv_string_array.h>

// Option bits of kxuReadTextFileLines; other bits are ignored.
inline constexpr unsigned int READLINES_SKIP_EMPTY = 0x1;  // empty lines are not appended
inline constexpr unsigned int READLINES_TRIM = 0x2;        // white space off both ends first
inline constexpr unsigned int READLINES_LIMIT = 0x4;       // stop at the line cap

namespace kxu::files {

// The results of the line reader other than a line count.
enum LinesResult : int {
  kLinesOpenFailed = -1,  // the file could not be opened
  kLinesCapSet = -2,      // the call set the line cap and read nothing
};

}  // namespace kxu::files

extern "C" {

// Three forms, chosen by the pointers:
// - `psaLines` not null: reads the file named by the UTF-8 `lpcszFile` (any
//   encoding CZUNICODETextStdioFile recognises; opened read-only, deny-write)
//   and appends each line, without its line end, in UTF-8 to the caller's
//   `psaLines` (not emptied first). `dwFlags` holds the READLINES_* bits:
//   TRIM first, then SKIP_EMPTY, and with LIMIT the call stops once the lines
//   it appended reach the line cap (at least one line is appended, so a cap
//   of 0 or less gives one). Returns the array's element count afterwards;
//   -1 when the file cannot be opened (missing, a directory, no permission, a
//   sharing conflict, a null name), the array unchanged. A named pipe or
//   device has no length and so no lines; the open never waits for it. A read
//   error raises CFileException to the caller.
// - `psaLines` null, `lpcszFile` not null: sets the process-wide line cap
//   (80 from load, shared by all threads; a reading call uses the cap in
//   force when it began) to `dwFlags` taken as a signed int, unchecked;
//   returns -2.
// - both null: returns the line cap.
// Example: a file "a\r\n\r\n b \n" with READLINES_TRIM | READLINES_SKIP_EMPTY
// appends "a" and "b" to an empty array and returns 2.
KXU_API int kxuReadTextFileLines(const char* lpcszFile, CZQVStringArray* psaLines,
                                 unsigned int dwFlags);

// The script's kxuReadTextFileLines: a host object, when not null, is
// replaced by its string array, a null one by a null array (so the setting
// and reporting forms are reached with a null object); the result is
// kxuReadTextFileLines'.
// Example: kxu_read_text_file_lines(nullptr, nullptr, 0) returns the line cap.
KXU_API int kxu_read_text_file_lines(const char* lpcszFile, HostObject* pLines,
                                     unsigned int dwFlags);

}  // extern "C"
