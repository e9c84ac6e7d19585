// Whole-file reading into UTF-8, and writing a text as it is.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include <kxutils96/files/file_writer.h>
#include <kxutils96/files/text_file_reader.h>
#include <kxutils96/host/zutl96/zutl96.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

namespace {

using namespace kxu::test;
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

// The text in UTF-8, replacing what the result held; nOption other than 0
// makes no UTF-16 guess.
TEST_F(ReadTextFile, GivesTheTextInUtf8) {
  const std::tuple<std::string, int, std::string> cases[] = {
      {"", 0, ""},
      {"Gr\xC3\xBC\xC3\x9F!\r\nx", 0, "Gr\xC3\xBC\xC3\x9F!\r\nx"},
      {"\xEF\xBB\xBFxyz", 0, "xyz"},
      {"\xEF\xBB\xBF", 0, ""},
      {"x", 0, "x"},
      {"\xFF\xFEh\0i\0"s, 0, "hi"},
      {"\xFE\xFF\0\xE9\x4E\x2D"s, 1, "\xC3\xA9\xE4\xB8\xAD"},
      {"\xFE\xFF", 0, ""},
      {"\xFF\xFEx\0y"s, 0, ""},
      {"\xFF\xFEx\0\0\0y\0"s, 0, "x"},
      {"x\0y\0z\0"s, 0, "xyz"},
      // Big-endian without a mark: every unit is swapped, the first one included.
      {"\0x\0y\x4E\x2D"s, 0, "xy\xE4\xB8\xAD"},
      // nOption other than 0: no UTF-16 guess, so the bytes are UTF-8 up to their NUL.
      {"x\0y\0"s, 7, "x"},
      {"caf\xE9 \x80", 0, "caf\xC3\xA9 \xE2\x82\xAC"}};
  TempDir dir;
  for (const auto& [bytes, nOption, expected] : cases) {
    WriteBytes(dir.Path("f.txt"), bytes);
    CStringUTF8 text("previous");
    EXPECT_EQ(kxu_read_text_file(Utf8(dir.Path("f.txt")).c_str(), &text, nOption), 1);
    EXPECT_EQ(std::string(text, static_cast<std::size_t>(text.GetLength())), expected)
        << testing::PrintToString(bytes.substr(0, 40));
  }
}

// A missing file, a folder and a null name give 0 and an empty text; a
// null result gives 0; a name longer than 1024 units is read whole.
TEST_F(ReadTextFile, FailuresGiveZeroAndAnEmptyText) {
  TempDir dir;
  const auto path = kxu::test::LongPath(dir.Path(), "long.txt");
  ASSERT_GT(path.native().size(), 1024u);
  WriteBytes(path, "\xFF\xFEo\0k\0"s);
  CStringUTF8 text;
  EXPECT_EQ(kxu_read_text_file(Utf8(path).c_str(), &text, 0), 1);
  EXPECT_EQ(text, "ok");
  EXPECT_EQ(kxu_read_text_file(Utf8(path).c_str(), nullptr, 0), 0);
  for (const std::string& name : {Utf8(dir.Path("missing.txt")), Utf8(dir.Path()), std::string()}) {
    EXPECT_EQ(kxu_read_text_file(name.empty() ? nullptr : name.c_str(), &text, 0), 0);
    EXPECT_TRUE(text.IsEmpty());
    text = "previous";
  }
}

// The bytes as given (no mark, line ends kept) replace a longer content and
// read back; a null text empties the file. A missing folder, a folder and a
// null name give false and make nothing.
TEST_F(ReadTextFile, WrittenTextsReadBack) {
  TempDir dir;
  const std::string path = Utf8(dir.Path("d/out.txt"));
  EXPECT_FALSE(kxuWriteToFile(path.c_str(), "x"));
  EXPECT_FALSE(kxuWriteToFile(nullptr, "x"));
  EXPECT_FALSE(kxuWriteToFile(Utf8(dir.Path()).c_str(), "x"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
  std::filesystem::create_directory(dir.Path("d"));
  for (const char* text :
       {"two\nlines\n", "crlf\r\nkept\r\n", "Gr\xC3\xBC\xC3\x9F \xF0\x9F\x98\x80", ""}) {
    WriteBytes(path, "a much longer old content\n");
    ASSERT_TRUE(kxuWriteToFile(path.c_str(), *text ? text : nullptr));
    EXPECT_EQ(kxu::test::ReadBytes(path), text);
    CStringUTF8 read;
    EXPECT_EQ(kxu_read_text_file(path.c_str(), &read, 0), 1);
    EXPECT_EQ(read, text);
  }
}

}  // namespace
