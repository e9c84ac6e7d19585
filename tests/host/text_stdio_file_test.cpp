#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <support/caught_exception.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>

namespace {

using kxu::test::ReadBytes;
using kxu::test::TempDir;
using kxu::test::WriteBytes;
using namespace std::string_literals;
using WideText = std::basic_string<WCHAR>;

constexpr UINT kReadText = CFile::modeRead | CFile::shareDenyWrite | CFile::typeText;
constexpr UINT kWriteText = CFile::modeCreate | CFile::modeWrite | CFile::typeText;

WideText Wide(const std::filesystem::path& path) {
  return path.u16string();
}

std::vector<WideText> ReadAllLines(const std::filesystem::path& path) {
  CZUNICODETextStdioFile file(1);
  std::vector<WideText> lines;
  if (!file.Open(Wide(path).c_str(), kReadText)) return lines;
  CStringW line;
  while (file.ReadString(line))
    lines.emplace_back(line, static_cast<std::size_t>(line.GetLength()));
  return lines;
}

struct LinesCase {
  const char* name;
  std::string bytes;
  std::vector<WideText> expected;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const LinesCase& c, std::ostream* os) {
  *os << c.name;
}

class UnicodeTextLines : public testing::TestWithParam<LinesCase> {};

TEST_P(UnicodeTextLines, GivesEachLineWithoutItsEnd) {
  const LinesCase& c = GetParam();
  TempDir dir;
  WriteBytes(dir.Path("f.txt"), c.bytes);
  EXPECT_EQ(ReadAllLines(dir.Path("f.txt")), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, UnicodeTextLines,
    testing::Values(LinesCase{"Empty", "", {}},
                    LinesCase{"Utf8NoMark", "a\nb\r\nc", {u"a", u"b", u"c"}},
                    LinesCase{"Utf8Mark", "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\n", {u"\u00E9t\u00E9"}},
                    LinesCase{"Utf8MarkOnly", "\xEF\xBB\xBF", {}},
                    LinesCase{"EmptyLinesKept", "\n\nx", {u"", u"", u"x"}},
                    LinesCase{"LoneCarriageReturnStays", "a\rb\n", {u"a\rb"}},
                    LinesCase{"Utf16LE",
                              "\xFF\xFE"
                              "a\0\r\0\n\0\xE9\0"s,
                              {u"a", u"\u00E9"}},
                    LinesCase{"Utf16BE", "\xFE\xFF\0a\0\n\x4E\x2D"s, {u"a", u"\u4E2D"}},
                    LinesCase{"Utf16SurrogatePair", "\xFF\xFE\x3D\xD8\x00\xDE"s, {u"\U0001F600"}},
                    LinesCase{"Utf16MarkOnly", "\xFF\xFE", {}},
                    LinesCase{"Utf16TrailingOddByteDropped",
                              "\xFF\xFE"
                              "a\0b"s,
                              {u"a"}},
                    LinesCase{"Utf16FinalLineEnd",
                              "\xFF\xFE"
                              "a\0\n\0"s,
                              {u"a"}}),
    [](const testing::TestParamInfo<LinesCase>& info) { return std::string(info.param.name); });

TEST(UnicodeTextFile, ReadsALineThatIsNotUtf8InTheAnsiCodePage) {
  if (GetACP() != 1252 && GetACP() != CP_UTF8) {
    GTEST_SKIP() << "the system's ANSI code page is neither 1252 nor UTF-8 here";
  }
  TempDir dir;
  WriteBytes(dir.Path("f.txt"), "caf\xE9\nd\xC3\xA9j\xC3\xA0");
  EXPECT_EQ(ReadAllLines(dir.Path("f.txt")),
            (std::vector<WideText>{u"caf\u00E9", u"d\u00E9j\u00E0"}));
}

TEST(UnicodeTextFile, ReopeningDecidesTheEncodingAgain) {
  TempDir dir;
  WriteBytes(dir.Path("a.txt"),
             "\xFF\xFE"
             "a\0"s);
  WriteBytes(dir.Path("b.txt"), "b");
  CZUNICODETextStdioFile file(1);
  CStringW line;
  ASSERT_TRUE(file.Open(Wide(dir.Path("a.txt")).c_str(), kReadText));
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ(line, CStringW(u"a"));
  file.Close();
  ASSERT_TRUE(file.Open(Wide(dir.Path("b.txt")).c_str(), kReadText));
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ(line, CStringW(u"b"));
}

TEST(UnicodeTextFile, ReadingAClosedFileRaises) {
  CZUNICODETextStdioFile file(1);
  CStringW line;
  auto error = kxu::test::Caught<CFileException>([&] { file.ReadString(line); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->m_cause, CFileException::invalidFile);
}

TEST(Utf8TextFile, WritesTheBytesAsGiven) {
  TempDir dir;
  CZUTF8StdioFile file;
  ASSERT_TRUE(file.Open(Wide(dir.Path("w.txt")).c_str(), kWriteText));
  file.WriteUTF8String("a\nb\r\n\xC3\xA9");
  file.Close();
  EXPECT_EQ(ReadBytes(dir.Path("w.txt")), "a\nb\r\n\xC3\xA9");
}

TEST(Utf8TextFile, ANullTextRaisesInvalidArgument) {
  TempDir dir;
  CZUTF8StdioFile file;
  ASSERT_TRUE(file.Open(Wide(dir.Path("w.txt")).c_str(), kWriteText));
  EXPECT_TRUE(kxu::test::Caught<CInvalidArgException>([&] { file.WriteUTF8String(nullptr); }));
}

}  // namespace
