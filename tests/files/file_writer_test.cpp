#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <kxutils96/files/file_writer.h>
#include <kxutils96/files/text_file_reader.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

namespace {

using kxu::test::ReadBytes;
using kxu::test::TempDir;
using kxu::test::Utf8;
using kxu::test::WriteBytes;

// The bytes as given, no mark, line ends kept, replacing a longer old
// content; the reader gives the text back. A null text empties the file.
TEST(WriteToFile, ReplacesTheContentAndReadingGivesTheTextBack) {
  TempDir dir;
  const auto path = dir.Path("out.txt");
  for (const char* text : {"", "two\nlines\n", "crlf\r\nkept\r\n",
                           "Gr\xC3\xBC\xC3\x9F"
                           "e \xE4\xB8\xAD \xF0\x9F\x98\x80"}) {
    WriteBytes(path, "a much longer old content\n");
    ASSERT_TRUE(kxuWriteToFile(Utf8(path).c_str(), text));
    EXPECT_EQ(ReadBytes(path), text);
    CStringUTF8 read;
    EXPECT_EQ(kxu_read_text_file(Utf8(path).c_str(), &read, 0), 1);
    EXPECT_EQ(read, text);
  }
  EXPECT_TRUE(kxuWriteToFile(Utf8(path).c_str(), nullptr));
  EXPECT_EQ(ReadBytes(path), "");
}

// A missing folder, a folder as the name and a null name give false and
// make nothing.
TEST(WriteToFile, FailuresGiveFalseAndTouchNothing) {
  TempDir dir;
  EXPECT_FALSE(kxuWriteToFile(Utf8(dir.Path("no_such_folder") / "out.txt").c_str(), "x"));
  EXPECT_FALSE(kxuWriteToFile(nullptr, "x"));
  EXPECT_FALSE(kxuWriteToFile(Utf8(dir.Path()).c_str(), "x"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
