#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <kxutils96/host/zutl96/zutl96.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>

using namespace kxu::zutl96;

namespace {

namespace fs = std::filesystem;
using kxu::test::ReadBytes;
using kxu::test::TempDir;
using kxu::test::WriteBytes;

TEST(UtlDirectoryExists, IsTrueForFoldersOnly) {
  TempDir dir;
  WriteBytes(dir.Path("file"), "x");
  fs::create_directory(dir.Path("sub folder"));
  const std::string base = dir.Path().string();
  struct Case {
    std::string path;
    int nExpected;
  };
  for (const Case& c : {Case{base, 1}, Case{base + "\\", 1}, Case{base + "/", 1},
                        Case{base + "\\sub folder\\", 1}, Case{base + "\\file", 0},
                        Case{base + "\\file\\", 0}, Case{base + "\\missing\\", 0}, Case{"", 0}}) {
    EXPECT_EQ(utlDirectoryExists(c.path.c_str()), c.nExpected) << c.path;
  }
  EXPECT_EQ(utlDirectoryExists(nullptr), 0);
}

TEST(UtlCopyFile, RefusesAnExistingFileInModeTwoAndOverwritesInModeZero) {
  TempDir dir;
  WriteBytes(dir.Path("a"), "new");
  WriteBytes(dir.Path("b"), "old");
  const std::string a = dir.Path("a").string();
  const std::string b = dir.Path("b").string();
  EXPECT_NE(utlCopyFile(a.c_str(), b.c_str(), kCopyFailIfExists), 0);
  EXPECT_EQ(ReadBytes(dir.Path("b")), "old");
  EXPECT_EQ(utlCopyFile(a.c_str(), b.c_str(), kCopyOverwrite), 0);
  EXPECT_EQ(ReadBytes(dir.Path("b")), "new");
  const std::string c = dir.Path().string() + "\\c \xC3\xA9";
  EXPECT_EQ(utlCopyFile(a.c_str(), c.c_str(), kCopyFailIfExists), 0);
  EXPECT_EQ(ReadBytes(dir.Path("c \xC3\xA9")), "new");
}

TEST(UtlCopyFile, ReportsFailureForMissingFilesAndNullNames) {
  TempDir dir;
  const std::string missing = dir.Path("missing").string();
  const std::string to = dir.Path("to").string();
  EXPECT_NE(utlCopyFile(missing.c_str(), to.c_str(), kCopyOverwrite), 0);
  EXPECT_FALSE(fs::exists(dir.Path("to")));
  EXPECT_NE(utlCopyFile(nullptr, to.c_str(), kCopyOverwrite), 0);
  EXPECT_NE(utlCopyFile(missing.c_str(), nullptr, kCopyOverwrite), 0);
}

}  // namespace
