// The framework's buffered text file, CStdioFile.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include <kxutils96/platform/framework/afx_file.h>

// A buffered file read and written by lines. In text mode (the default, and
// typeText) ReadString drops a line's CR LF or LF; typeBinary keeps the CR
// (typeBinary wins when both are given). A CR not followed by LF stays in the
// line. A last line without a line end is still a line; an empty file has
// none. WriteString writes the text as it is (no line-end translation).
// Narrow lines are bytes; wide lines are the file's UTF-8 decoded to UTF-16,
// or, for a line that is not valid UTF-8, each byte as one unit (Latin-1).
// Wide text is written as UTF-8. A null string raises CInvalidArgException.
//
// Reads and writes go through one buffer of the object's own; position,
// length, seeks and SetLength() see the buffered bytes as if they were in the
// file. Flush() hands pending bytes to the system (it does not wait for the
// disk). Close() writes them first; when that fails the file is still closed
// and the CFileException raised.
class KXU_API CStdioFile : public CFile {
 public:
  CStdioFile() noexcept;
  CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);
  ~CStdioFile() override;

  BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
  UINT Read(void* lpBuf, UINT nCount) override;
  void Write(const void* lpBuf, UINT nCount) override;
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
  ULONGLONG GetPosition() const override;
  ULONGLONG GetLength() const override;
  void SetLength(ULONGLONG dwNewLen) override;
  void Flush() override;
  void Close() override;
  void Abort() noexcept override;

  // The next line without its line end; FALSE at the end of the file.
  BOOL ReadString(CStringA& rString);
  BOOL ReadString(CStringW& rString);
  void WriteString(LPCSTR lpsz);
  void WriteString(LPCWSTR lpsz);

 protected:
  // Reads the next line's bytes, without its line end; false at the end of
  // the file. LineBytes() shows them until the next read or write: in the read-ahead
  // itself, or, for a line that spans refills, in a buffer kept from line to
  // line, so that reading a file takes no allocation nor copy a line.
  bool ReadNextLine();
  std::string_view LineBytes() const noexcept { return m_lineView; }
  // The read-ahead bytes after the last line read: what the next reads take
  // first. Valid, like LineBytes(), until the next read or write.
  std::string_view ReadAhead() const noexcept;
  // Counts the times the buffer's bytes were replaced (read into, or turned
  // to writing): views of it taken at the same count still show its bytes.
  std::size_t BufferChanges() const noexcept { return m_nBufferChanges; }

 private:
  static constexpr size_t kBufferSize = size_t{64} * 1024;

  void WriteText(std::string_view text);
  // Copies up to `nCount` read-ahead bytes to `lpBuf`; returns how many.
  size_t TakeBuffered(BYTE* lpBuf, size_t nCount) noexcept;
  // Reads the next bytes of the file into the empty buffer; false at the end.
  bool FillBuffer();
  // Hands the pending bytes to the system; the buffer is then empty.
  void WritePending();
  // Turns the buffer to reading; pending bytes are written first.
  void BeginReading();
  // Turns the buffer to writing; the read-ahead is given back to the file
  // first. Raises invalidFile on a closed file.
  void BeginWriting();
  // Empties the buffer so that the system's file position is the logical one.
  void SyncPosition();
  void ResetBuffer() noexcept;
  BYTE* Buffer();

  std::unique_ptr<BYTE[]> m_pBuffer;  // allocated on first use
  size_t m_nBufferLen = 0;            // bytes read ahead, or bytes waiting to be written
  size_t m_nBufferPos = 0;            // next unread byte when reading
  bool m_bWriting = false;            // the buffer holds pending writes
  bool m_bText = true;
  std::size_t m_nBufferChanges = 0;
  std::string m_line;           // a line gathered across refills, see ReadNextLine
  std::string_view m_lineView;  // the last line read, see ReadNextLine
};
