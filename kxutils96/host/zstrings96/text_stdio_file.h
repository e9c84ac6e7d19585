// The string library's text file classes: CZUNICODETextStdioFile reads lines
// of a file in any of the library's encodings as UTF-16, and CZUTF8StdioFile
// writes UTF-8 text as it is.
//
// Encoding of a file read with ReadString(CStringW&), decided at the first
// line from the file's first bytes:
//   EF BB BF  UTF-8 (the mark is skipped);
//   FF FE     UTF-16 little-endian (the mark is skipped);
//   FE FF     UTF-16 big-endian (the mark is skipped);
//   no mark   bytes; each line is read as UTF-8 when it is valid UTF-8 and
//             otherwise in the system's ANSI code page (GetACP; 1252 when
//             that page is UTF-8 itself), so a file of code-page text gives
//             its characters and not U+FFFD.
// Line ends: LF, CR LF (and, in UTF-16, the units 000A and 000D 000A) end a
// line and are not part of it; a final line without a line end is still a
// line; an empty file has none. In UTF-16, a last odd byte is dropped.
//
// Sharing: opened with shareDenyWrite, the file holds an advisory lock that
// this library's own writers respect (an open for writing while a reader holds
// it fails with sharingViolation). It cannot stop programs that ignore
// advisory locks, nor a writer that opened the file before the reader.
#pragma once

#include <cstddef>
#include <string_view>

#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/framework/afx_stdio_file.h>
#include <kxutils96/platform/framework/afx_string.h>

class CStringUTF8;

class KXU_API CZUNICODETextStdioFile : public CStdioFile {
 public:
  // `nMode` is kept for the host's callers; every mode reads as described above.
  explicit CZUNICODETextStdioFile(int nMode = 1) noexcept;
  ~CZUNICODETextStdioFile() override;

  // Opens as CStdioFile::Open does; the next line read decides the encoding.
  BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;

  // The next line as UTF-16 without its line end; FALSE at the end of the file.
  // Raises CFileException when the file cannot be read.
  // Example: a UTF-16 LE file FF FE 61 00 0D 00 0A 00 62 00 gives "a", then "b", then FALSE.
  BOOL ReadString(CStringW& rString);
  using CStdioFile::ReadString;

  // The next line as ReadString(CStringW&) reads it, in UTF-8 (NULs kept,
  // lone surrogates of a UTF-16 file as U+FFFD): a line of valid UTF-8 comes
  // as it is, with no trip through UTF-16. FALSE at the end of the file.
  // Example: a file "a\xC3\xA9\r\nb" gives "a\xC3\xA9", then "b", then FALSE.
  BOOL ReadUtf8String(CStringUTF8& rString);

 private:
  enum class Encoding { kUndecided, kBytes, kUtf16LE, kUtf16BE };

  // Reads the first bytes: skips a mark and sets m_encoding.
  void DecideEncoding();
  BOOL ReadBytesLine(CStringW& rString);
  BOOL ReadUtf16Line(CStringW& rString);
  // IsValidUtf8 for a line that ReadNextLine has just read; lines already
  // checked with the lines read ahead of them are not checked again.
  bool IsValidUtf8Line(std::string_view line);
  // ReadUtf8String for a UTF-16 file.
  BOOL ReadUtf16LineAsUtf8(CStringUTF8& rString);
  // The next UTF-16 unit in the file's byte order; false at the end.
  bool ReadUnit(WCHAR& unit);
  // The encoding, decided on the first call.
  Encoding DecidedEncoding();

  Encoding m_encoding = Encoding::kUndecided;
  // Bytes of the read-ahead known to be valid UTF-8, while BufferChanges()
  // is still nBufferChanges.
  struct CheckedBytes {
    std::size_t nBufferChanges = 0;
    std::string_view valid;
  };
  CheckedBytes m_checked;
};

// A UTF-8 text file for writing: default-constructed, opened with the base's
// Open, closed with Close().
class KXU_API CZUTF8StdioFile : public CZUNICODETextStdioFile {
 public:
  CZUTF8StdioFile() noexcept;
  ~CZUTF8StdioFile() override;

  // Writes the bytes of `lpcszText` up to its NUL as they are: no byte-order
  // mark, no line-end translation (LF stays LF). A null text raises
  // CInvalidArgException; a failed write raises CFileException.
  // Example: WriteUTF8String("a\nb") writes the 3 bytes 61 0A 62.
  void WriteUTF8String(const char* lpcszText);
};
