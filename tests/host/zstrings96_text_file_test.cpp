// The host string library's text file reader, read a UTF-16 line at a time
// (the UTF-8 reading is the file family's, through its line reader).
#include <kxutils96/host/zstrings96/text_stdio_file.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::u16string>;

// Each encoding the first bytes decide, with its line ends.
TEST(CZUNICODETextStdioFile, ReadsUtf16LinesInTheEncodingItsFirstBytesDecide) {
  const std::tuple<std::string, Lines> rows[] = {
      {"\xFF\xFE"
       "a\0\r\0\n\0b\0"s,
       {u"a", u"b"}},
      {"\xFE\xFF\0a\0\n\0\xE9"s, {u"a", u"\u00E9"}},
      {"\xEF\xBB\xBF"
       "a\xC3\xA9\r\nb",
       {u"a\u00E9", u"b"}},
      {"a\n\nx\n", {u"a", u"", u"x"}},  // no mark: bytes
  };
  kxu::test::TempDir dir;
  for (const auto& [bytes, expected] : rows) {
    kxu::test::WriteBytes(dir.Path("f.txt"), bytes);
    CZUNICODETextStdioFile file;
    ASSERT_TRUE(file.Open(dir.Path("f.txt").u16string().c_str(), CFile::modeRead));
    Lines lines;
    for (CStringW strLine; file.ReadString(strLine);) lines.emplace_back(strLine.GetString());
    EXPECT_EQ(lines, expected) << testing::PrintToString(bytes);
  }
}

}  // namespace
