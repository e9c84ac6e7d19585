#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/framework/afx_file.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

using namespace kxu::zutl96;

namespace {

using kxu::test::TempDir;
using kxu::test::Utf8;
using kxu::test::WriteBytes;
using namespace std::string_literals;

struct DetectCase {
  const char* name;
  std::string bytes;
  int nFlags;
  int expected;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const DetectCase& c, std::ostream* os) {
  *os << c.name;
}

class DetectEncoding : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectEncoding, DecidesFromTheFirstBytes) {
  const DetectCase& c = GetParam();
  TempDir dir;
  const auto path = dir.Path("f.txt");
  WriteBytes(path, c.bytes);
  EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(path).c_str(), 0, c.nFlags), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DetectEncoding,
    testing::Values(
        DetectCase{"Empty", "", 1, kEncodingUtf8},
        DetectCase{"Utf8Mark",
                   "\xEF\xBB\xBF"
                   "caf\xE9",
                   1, kEncodingUtf8},
        DetectCase{"Utf16LEMark",
                   "\xFF\xFE"
                   "a",
                   0, kEncodingUtf16LE},
        DetectCase{"Utf16BEMark",
                   "\xFE\xFF"
                   "a",
                   0, kEncodingUtf16BE},
        DetectCase{"MarkOnly", "\xFE\xFF", 1, kEncodingUtf16BE},
        DetectCase{"Ascii", "plain text\n", 1, kEncodingUtf8},
        DetectCase{"ValidUtf8",
                   "Gr\xC3\xBC\xC3\x9F"
                   "e",
                   1, kEncodingUtf8},
        DetectCase{"CodePage", "caf\xE9", 1, kEncodingCodePage},
        DetectCase{"Utf16LEPattern", "h\0e\0l\0l\0o\0"s, 1, kEncodingUtf16LE},
        DetectCase{"Utf16BEPattern", "\0h\0e\0l\0l\0o"s, 1, kEncodingUtf16BE},
        // Without the flag, the same bytes are ASCII (NUL included), so UTF-8.
        DetectCase{"Utf16PatternNotAsked", "h\0e\0l\0l\0o\0"s, 0, kEncodingUtf8},
        // Zeros at both positions are not a UTF-16 pattern.
        DetectCase{"BinaryZeros", "\x89PNG\0\0\0\0\x01\x02\0\0"s, 1, kEncodingCodePage},
        // A two-byte sequence cut by the 64 KiB sample is not held against UTF-8.
        DetectCase{"SequenceAtSampleEdge", std::string(65535, 'a') + "\xC3\xA9", 1, kEncodingUtf8},
        // Invalid bytes past the sample are not looked at.
        DetectCase{"InvalidPastSample", std::string(65536, 'a') + "\xE9", 1, kEncodingUtf8},
        DetectCase{"InvalidInSample", std::string(100, 'a') + "\xE9" + std::string(70000, 'a'), 1,
                   kEncodingCodePage}),
    [](const testing::TestParamInfo<DetectCase>& info) { return std::string(info.param.name); });

TEST(DetectEncodingFailures, UnopenableFilesAnswerUtf8) {
  TempDir dir;
  EXPECT_EQ(KESUTIL_DetectEncodingFile(nullptr, 0, 1), kEncodingUtf8);
  EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(dir.Path("missing")).c_str(), 0, 1), kEncodingUtf8);
  EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(dir.Path()).c_str(), 0, 1), kEncodingUtf8);
}

TEST(DetectEncodingFailures, AFileHeldForWritingAnswersUtf8) {
  TempDir dir;
  const auto path = dir.Path("held.txt");
  WriteBytes(path, "caf\xE9");
  CFile writer;
  const auto wide = path.u16string();
  ASSERT_TRUE(writer.Open(wide.c_str(), CFile::modeWrite | CFile::shareExclusive));
  EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(path).c_str(), 0, 1), kEncodingUtf8);
}

}  // namespace
