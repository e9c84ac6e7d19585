// Reading a whole text file, in the host's code page, UTF-16 of either byte
// order or UTF-8, into one UTF-8 string.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>

extern "C" {

// Reads the file named by the UTF-8 `lpcszFile` whole and replaces the
// caller's `*pstrText` with its text in UTF-8, without a byte-order mark,
// ending at the file's first NUL (00 byte, or 0000 unit in UTF-16). The
// encoding comes from KESUTIL_DetectEncodingFile, which looks for UTF-16
// without a mark only when `nOption` is 0; a mark in the file wins. UTF-16
// whose length after the mark is odd, and a file of only a mark, give an
// empty text. Code-page text is converted from the host's code page; UTF-8
// bytes are not validated. The file is opened read-only, deny-write, without
// waiting (a named pipe or device is read as far as its length, none: an
// empty text), and closed before return.
// Returns 1 when the file was opened (also for an empty text, and when a read
// of a UTF-8 or UTF-16 file failed midway: the text is then empty); 0 when it
// could not be opened (missing, a directory, no permission, held open for
// writing by another of our writers, a null name): the text is then emptied,
// except for code-page files, which leave it as it was. A null `pstrText`
// gives 0 and touches nothing. A read failure of a code-page file raises
// CFileException to the caller. Files of 2 GiB or more (more than a string
// holds) are not read, not even in part: the Unicode readers give 1 and an
// empty text, code-page files raise CInvalidArgException.
// Example: a file FF FE 68 00 69 00 gives 1 and "hi".
KXU_API int kxu_read_text_file(const char* lpcszFile, CStringUTF8* pstrText, int nOption);

}  // extern "C"
