#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include <kxutils96/files/text_file_reader.h>
#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/framework/afx_file.h>
#include <support/file_bytes.h>
#include <support/permissions.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

namespace {

using kxu::test::TempDir;
using kxu::test::Utf8;
using kxu::test::WriteBytes;
using namespace std::string_literals;

constexpr int kHostCodePageForTests = 1252;

// Sets the host's code page for one test and restores it afterwards.
class ReadTextFile : public testing::Test {
 protected:
  void SetUp() override {
    m_nSaved = g_nCodePage;
    g_nCodePage = kHostCodePageForTests;
  }
  void TearDown() override { g_nCodePage = m_nSaved; }

  int m_nSaved = -1;
};

struct ReadCase {
  const char* name;
  std::string bytes;
  int nOption;
  std::string expected;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.name;
}

class ReadTextFileCases : public ReadTextFile, public testing::WithParamInterface<ReadCase> {};

TEST_P(ReadTextFileCases, GivesTheTextInUtf8) {
  const ReadCase& c = GetParam();
  TempDir dir;
  const auto path = dir.Path("f.txt");
  WriteBytes(path, c.bytes);
  CStringUTF8 text("previous");
  EXPECT_EQ(kxu_read_text_file(Utf8(path).c_str(), &text, c.nOption), 1);
  EXPECT_EQ(std::string(text, static_cast<std::size_t>(text.GetLength())), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, ReadTextFileCases,
    testing::Values(
        ReadCase{"EmptyFile", "", 0, ""},
        ReadCase{"Utf8",
                 "Gr\xC3\xBC\xC3\x9F"
                 "e\r\nx",
                 0,
                 "Gr\xC3\xBC\xC3\x9F"
                 "e\r\nx"},
        ReadCase{"Utf8Mark",
                 "\xEF\xBB\xBF"
                 "abc",
                 0, "abc"},
        ReadCase{"Utf8MarkOnly", "\xEF\xBB\xBF", 0, ""}, ReadCase{"Utf8OneByte", "x", 0, "x"},
        ReadCase{"Utf8TwoBytes", "\xC3\xA9", 0, "\xC3\xA9"},
        ReadCase{"Utf8NulEndsText", "ab\0cd"s, 1, "ab"},
        // Valid UTF-8 at the start, so the UTF-8 reader, which does not validate.
        ReadCase{"Utf8InvalidPastSample", std::string(65536, 'a') + "\xE9", 0,
                 std::string(65536, 'a') + "\xE9"},
        ReadCase{"Utf8SequenceAtSampleEdge", std::string(65535, 'a') + "\xC3\xA9", 0,
                 std::string(65535, 'a') + "\xC3\xA9"},
        ReadCase{"Utf16LEMark",
                 "\xFF\xFE"
                 "h\0i\0"s,
                 0, "hi"},
        ReadCase{"Utf16BEMark", "\xFE\xFF\0\xE9\x4E\x2D"s, 1, "\xC3\xA9\xE4\xB8\xAD"},
        ReadCase{"Utf16LEMarkOnly", "\xFF\xFE", 0, ""},
        ReadCase{"Utf16BEMarkOnly", "\xFE\xFF", 0, ""},
        ReadCase{"Utf16OddAfterMark",
                 "\xFF\xFE"
                 "a\0b"s,
                 0, ""},
        ReadCase{"Utf16NulUnitEndsText",
                 "\xFF\xFE"
                 "a\0\0\0b\0"s,
                 0, "a"},
        ReadCase{"Utf16SurrogatePair", "\xFF\xFE\x3D\xD8\x00\xDE"s, 0, "\xF0\x9F\x98\x80"},
        ReadCase{"Utf16LENoMark", "a\0b\0c\0"s, 0, "abc"},
        // Big-endian without a mark: every unit is swapped, the first one included.
        ReadCase{"Utf16BENoMark", "\0a\0b\x4E\x2D"s, 0, "ab\xE4\xB8\xAD"},
        ReadCase{"Utf16OddWithoutMark", "a\0b\0c"s, 0, ""},
        // nOption other than 0: no UTF-16 guess, so the bytes are UTF-8 up to their NUL.
        ReadCase{"NonzeroOptionSkipsUtf16Guess", "a\0b\0"s, 7, "a"},
        ReadCase{"CodePage", "caf\xE9 \x80", 0, "caf\xC3\xA9 \xE2\x82\xAC"},
        ReadCase{"CodePageNulEndsText", "\xE9\0\xE9"s, 1, "\xC3\xA9"},
        ReadCase{"Binary", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s, 0, "\xE2\x80\xB0PNG\r\n\x1A\n"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(ReadTextFile, FailuresToOpenGiveZeroAndAnEmptyText) {
  TempDir dir;
  const std::filesystem::path names[] = {dir.Path("missing.txt"), dir.Path()};
  for (const auto& name : names) {
    CStringUTF8 text("previous");
    EXPECT_EQ(kxu_read_text_file(Utf8(name).c_str(), &text, 0), 0) << name;
    EXPECT_TRUE(text.IsEmpty()) << name;
  }
}

TEST_F(ReadTextFile, ANullNameGivesZero) {
  CStringUTF8 text("previous");
  EXPECT_EQ(kxu_read_text_file(nullptr, &text, 0), 0);
  EXPECT_TRUE(text.IsEmpty());
}

TEST_F(ReadTextFile, ANullResultGivesZeroAndLeavesTheFileAlone) {
  TempDir dir;
  WriteBytes(dir.Path("f.txt"), "abc");
  EXPECT_EQ(kxu_read_text_file(Utf8(dir.Path("f.txt")).c_str(), nullptr, 0), 0);
  EXPECT_EQ(kxu::test::ReadBytes(dir.Path("f.txt")), "abc");
}

TEST_F(ReadTextFile, AnUnreadableFileGivesZero) {
  if (const std::string why = kxu::test::ReadRefusalUnsupported(); !why.empty())
    GTEST_SKIP() << why;
  TempDir dir;
  const auto path = dir.Path("locked.txt");
  WriteBytes(path, "secret");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  CStringUTF8 text("previous");
  EXPECT_EQ(kxu_read_text_file(Utf8(path).c_str(), &text, 0), 0);
  EXPECT_TRUE(text.IsEmpty());
}

TEST_F(ReadTextFile, AFileHeldOpenForWritingGivesZero) {
  TempDir dir;
  const auto path = dir.Path("held.txt");
  WriteBytes(path, "abc");
  CFile writer;
  ASSERT_TRUE(writer.Open(path.u16string().c_str(), CFile::modeWrite));
  CStringUTF8 text;
  EXPECT_EQ(kxu_read_text_file(Utf8(path).c_str(), &text, 0), 0);
  writer.Close();
  EXPECT_EQ(kxu_read_text_file(Utf8(path).c_str(), &text, 0), 1);
  EXPECT_EQ(text, "abc");
}

TEST_F(ReadTextFile, ANameLongerThan1024UnitsIsReadWhole) {
  TempDir dir;
  const auto path = kxu::test::LongPath(dir.Path(), "long.txt");
  ASSERT_GT(path.native().size(), 1024u);
  WriteBytes(path,
             "\xFF\xFE"
             "o\0k\0"s);
  CStringUTF8 text;
  EXPECT_EQ(kxu_read_text_file(Utf8(path).c_str(), &text, 0), 1);
  EXPECT_EQ(text, "ok");
}

}  // namespace
