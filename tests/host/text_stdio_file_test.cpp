// The host's text files: lines read in the encoding a file's mark names.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>

namespace {

using kxu::test::TempDir;
using kxu::test::WriteBytes;
using namespace std::string_literals;
using WideText = std::basic_string<WCHAR>;
using Lines = std::vector<WideText>;

constexpr UINT kReadText = CFile::modeRead | CFile::shareDenyWrite | CFile::typeText;

// Every line of the file `bytes` make, read through `file` (which is then closed).
Lines ReadAllLines(CZUNICODETextStdioFile& file, const TempDir& dir, const std::string& bytes) {
  WriteBytes(dir.Path("f.txt"), bytes);
  Lines lines;
  if (!file.Open(dir.Path("f.txt").u16string().c_str(), kReadText)) return lines;
  CStringW line;
  while (file.ReadString(line))
    lines.emplace_back(line, static_cast<std::size_t>(line.GetLength()));
  file.Close();
  return lines;
}

// A line that is not UTF-8 is in the ANSI code page (checked where that is 1252 or UTF-8).
TEST(UnicodeTextFile, GivesEachLineWithoutItsEndInTheEncodingItsMarkNames) {
  std::vector<std::tuple<std::string, Lines>> rows = {
      {"a\nb\r\nc", {u"a", u"b", u"c"}},
      {"\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\n", {u"\u00E9t\u00E9"}},
      {"\xFE\xFF\0a\0\n\x4E\x2D"s, {u"a", u"\u4E2D"}},
      {"\xFF\xFE\x61\0b"s, {u"a"}}};  // a trailing odd byte is dropped
  if (GetACP() == 1252 || GetACP() == CP_UTF8) {
    rows.push_back({"caf\xE9\nd\xC3\xA9j\xC3\xA0", {u"caf\u00E9", u"d\u00E9j\u00E0"}});
  }
  TempDir dir;
  // One file object throughout: each opening decides the encoding again.
  CZUNICODETextStdioFile file(1);
  for (const auto& [bytes, expected] : rows) EXPECT_EQ(ReadAllLines(file, dir, bytes), expected);
}

}  // namespace
