// Telling a text file's encoding from its first bytes.
#pragma once

namespace kxu::zutl96 {

// The encodings KESUTIL_DetectEncodingFile tells apart (its result's low byte).
inline constexpr int kEncodingCodePage = 0;  // the host's code page
inline constexpr int kEncodingUtf8 = 1;
inline constexpr int kEncodingUtf16LE = 2;
inline constexpr int kEncodingUtf16BE = 3;
// The third argument of KESUTIL_DetectEncodingFile: look for UTF-16 without a mark.
inline constexpr int kDetectUtf16WithoutMark = 1;

}  // namespace kxu::zutl96

class CFile;

namespace kxu::zutl96 {

// The encoding of the open `file`, decided as KESUTIL_DetectEncodingFile
// decides it, from the file's first 64 KiB; the file is left at its start.
// A read that fails gives kEncodingUtf8. Raises nothing.
// Example: over a file beginning FF FE, DetectEncodingOfOpenFile(file, 0) ==
// kEncodingUtf16LE and file.GetPosition() == 0.
int DetectEncodingOfOpenFile(CFile& file, int nFlags);

}  // namespace kxu::zutl96

// Reads the first 64 KiB of the file named by the UTF-8 `lpcszFile` (opened
// for reading, deny-write) and returns its encoding: a byte-order mark decides
// (EF BB BF UTF-8, FF FE UTF-16 LE, FE FF UTF-16 BE). Without one: when
// `nFlags` holds kDetectUtf16WithoutMark and at least half of the 16-bit
// units have a zero high byte at odd (LE) or even (BE) positions while the
// other position holds almost no zeros, UTF-16 of that order; otherwise valid
// UTF-8 (a sequence cut at the 64 KiB edge is not held against it), pure
// ASCII and an empty file give UTF-8 (the library's default for texts that
// fit both), and anything else the host code page. `nReserved` is not read.
// A null name or a file that cannot be opened gives kEncodingUtf8, so that
// the caller's own open reports the failure. Raises nothing.
// Example: a file "a\0b\0" with kDetectUtf16WithoutMark gives kEncodingUtf16LE;
// "caf\xE9" gives kEncodingCodePage.
int KESUTIL_DetectEncodingFile(const char* lpcszFile, int nReserved, int nFlags);
