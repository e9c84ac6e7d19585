#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <kxutils96/files/file_writer.h>
#include <kxutils96/files/text_file_reader.h>
#include <kxutils96/host/zstrings96/zstrings96.h>
#include <support/file_bytes.h>
#include <support/permissions.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

namespace {

using kxu::test::ReadBytes;
using kxu::test::TempDir;
using kxu::test::Utf8;
using kxu::test::WriteBytes;

class WriteRoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(WriteRoundTrip, ReadingGivesTheTextBack) {
  TempDir dir;
  const auto path = dir.Path("out.txt");
  ASSERT_TRUE(kxuWriteToFile(Utf8(path).c_str(), GetParam()));
  EXPECT_EQ(ReadBytes(path), GetParam());  // the bytes as given: no mark, line ends kept
  CStringUTF8 text;
  EXPECT_EQ(kxu_read_text_file(Utf8(path).c_str(), &text, 0), 1);
  EXPECT_EQ(text, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, WriteRoundTrip,
                         testing::Values("", "plain", "two\nlines\n", "crlf\r\nkept\r\n",
                                         "Gr\xC3\xBC\xC3\x9F"
                                         "e \xE4\xB8\xAD \xF0\x9F\x98\x80"));

TEST(WriteToFile, ReplacesTheWholeContent) {
  TempDir dir;
  const auto path = dir.Path("out.txt");
  WriteBytes(path, "a much longer old content\n");
  EXPECT_TRUE(kxuWriteToFile(Utf8(path).c_str(), "new"));
  EXPECT_EQ(ReadBytes(path), "new");
}

TEST(WriteToFile, AnEmptyTextEmptiesTheFile) {
  TempDir dir;
  const auto path = dir.Path("out.txt");
  WriteBytes(path, "old");
  EXPECT_TRUE(kxuWriteToFile(Utf8(path).c_str(), ""));
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(WriteToFile, ANullTextLeavesAnEmptyFileAndReturnsTrue) {
  TempDir dir;
  const auto path = dir.Path("out.txt");
  WriteBytes(path, "old");
  EXPECT_TRUE(kxuWriteToFile(Utf8(path).c_str(), nullptr));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(WriteToFile, AMissingFolderGivesFalseAndCreatesNothing) {
  TempDir dir;
  const auto path = dir.Path("no_such_folder") / "out.txt";
  EXPECT_FALSE(kxuWriteToFile(Utf8(path).c_str(), "x"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("no_such_folder")));
}

TEST(WriteToFile, BadNamesGiveFalse) {
  TempDir dir;
  EXPECT_FALSE(kxuWriteToFile(nullptr, "x"));
  EXPECT_FALSE(kxuWriteToFile(Utf8(dir.Path()).c_str(), "x"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(WriteToFile, AnUnwritableFileGivesFalse) {
  if (const std::string why = kxu::test::WriteRefusalUnsupported(); !why.empty())
    GTEST_SKIP() << why;
  TempDir dir;
  const auto path = dir.Path("ro.txt");
  WriteBytes(path, "old");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  EXPECT_FALSE(kxuWriteToFile(Utf8(path).c_str(), "x"));
  EXPECT_EQ(ReadBytes(path), "old");
}

TEST(WriteToFile, AFileOurReaderHoldsIsNotTouched) {
  TempDir dir;
  const auto path = dir.Path("held.txt");
  WriteBytes(path, "kept");
  CFile reader;
  ASSERT_TRUE(reader.Open(path.u16string().c_str(), CFile::modeRead | CFile::shareDenyWrite));
  EXPECT_FALSE(kxuWriteToFile(Utf8(path).c_str(), "x"));
  EXPECT_EQ(ReadBytes(path), "kept");
}

TEST(WriteToFile, ANameLongerThan1024UnitsIsWritten) {
  TempDir dir;
  const auto path = kxu::test::LongPath(dir.Path(), "long.txt");
  EXPECT_TRUE(kxuWriteToFile(Utf8(path).c_str(), "ok"));
  EXPECT_EQ(ReadBytes(path), "ok");
}

}  // namespace
