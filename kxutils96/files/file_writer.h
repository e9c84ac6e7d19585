// Writing one UTF-8 text into a file, replacing its content.
#pragma once

#include <kxutils96/kxu_export.h>

extern "C" {

// Creates the file named by the UTF-8 `lpcszFile`, or empties an existing
// one, and writes the UTF-8 `lpcszText` (up to its NUL) into it as
// CZUTF8StdioFile::WriteUTF8String does: the bytes as given, no byte-order
// mark, line ends untouched. Returns false when the file cannot be opened for
// writing (a missing folder, no permission, a directory, a file that one of
// our readers holds open, a null name): nothing is created or changed. Returns
// true once the file was opened; a write or close that fails then (a full
// disk) is caught and the file holds what was written before the failure. A
// null `lpcszText` leaves the file empty and returns true.
// Example: kxuWriteToFile("/tmp/a.txt", "x\ny") is true; the file holds 78 0A 79.
KXU_API bool kxuWriteToFile(const char* lpcszFile, const char* lpcszText);

}  // extern "C"
