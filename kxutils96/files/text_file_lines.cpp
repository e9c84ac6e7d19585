#include <kxutils96/files/text_file_lines.h>

#include <atomic>
#include <utility>

#include <kxutils96/files/wide_file_name.h>
#include <kxutils96/frame/flat_call.h>
#include <kxutils96/host/zstrings96/zstrings96.h>

namespace {

constexpr int kInitialLineCap = 80;
constexpr UINT kLinesOpenFlags = CFile::modeRead | CFile::shareDenyWrite | CFile::typeText;
constexpr int kTextFileMode = 1;

// The most lines a READLINES_LIMIT call appends: process-wide, set and read
// from any thread. No other data depends on it, so relaxed order suffices;
// a reading call takes it once, so it stops at one cap, the one in force when
// it began.
std::atomic<int> g_nLineCap{kInitialLineCap};

// Appends the lines of the open `file` to `saLines` under `dwFlags`.
void AppendLines(CZUNICODETextStdioFile& file, CZQVStringArray& saLines, unsigned int dwFlags) {
  const bool bTrim = (dwFlags & READLINES_TRIM) != 0;
  const bool bSkipEmpty = (dwFlags & READLINES_SKIP_EMPTY) != 0;
  const bool bLimit = (dwFlags & READLINES_LIMIT) != 0;
  const int nCap = g_nLineCap.load(std::memory_order_relaxed);
  int nAppended = 0;
  CStringUTF8 strLine;
  while (file.ReadUtf8String(strLine)) {
    if (bTrim) strLine.TrimLeft().TrimRight();
    if (bSkipEmpty && strLine.IsEmpty()) continue;
    // A line is appended as a terminated text: it ends at its first NUL. Its
    // text moves into the array; the next line gets a block of its own size.
    strLine.ReleaseBuffer();
    saLines.Add(std::move(strLine));
    if (bLimit && ++nAppended >= nCap) break;
  }
}

}  // namespace

int kxuReadTextFileLines(const char* lpcszFile, CZQVStringArray* psaLines, unsigned int dwFlags) {
  if (psaLines == nullptr) {
    if (lpcszFile == nullptr) return g_nLineCap.load(std::memory_order_relaxed);
    g_nLineCap.store(static_cast<int>(dwFlags), std::memory_order_relaxed);
    return kxu::files::kLinesCapSet;
  }
  CZUNICODETextStdioFile file(kTextFileMode);
  const kxu::files::WideFileName name(lpcszFile);
  if (!file.Open(name.Get(), kLinesOpenFlags)) return kxu::files::kLinesOpenFailed;
  // A pipe or device reports no length and is read as the empty file that
  // says, never waited on or read without end.
  if (file.GetLength() != 0) AppendLines(file, *psaLines, dwFlags);
  file.Close();
  return psaLines->GetSize();
}

int kxu_read_text_file_lines(const char* lpcszFile, HostObject* pLines, unsigned int dwFlags) {
  return kxuReadTextFileLines(lpcszFile, kxu::frame::StringArrayOf(pLines), dwFlags);
}
