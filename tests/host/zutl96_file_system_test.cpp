#include <gtest/gtest.h>

#include <string>
#include <utility>

#include <kxutils96/host/zutl96/zutl96.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>

using namespace kxu::zutl96;

namespace {

using kxu::test::ReadBytes;
using kxu::test::TempDir;
using kxu::test::WriteBytes;

// Path forms and separators are the system layer's; these are the folder
// test's own answers and the copy's modes.
TEST(UtlDirectoryExists, IsTrueForFoldersOnly) {
  TempDir dir;
  WriteBytes(dir.Path("file"), "x");
  const std::string base = dir.Path().string();
  for (const auto& [path, nExpected] : {std::pair<std::string, int>{base, 1},
                                        {base + "\\file", 0},
                                        {base + "\\missing", 0},
                                        {"", 0}}) {
    EXPECT_EQ(utlDirectoryExists(path.c_str()), nExpected) << path;
  }
  EXPECT_EQ(utlDirectoryExists(nullptr), 0);
}

TEST(UtlCopyFile, RefusesAnExistingFileInModeTwoOverwritesInModeZeroAndReportsFailures) {
  TempDir dir;
  WriteBytes(dir.Path("a"), "new");
  WriteBytes(dir.Path("b"), "old");
  const std::string a = dir.Path("a").string();
  const std::string b = dir.Path("b").string();
  EXPECT_NE(utlCopyFile(a.c_str(), b.c_str(), kCopyFailIfExists), 0);
  EXPECT_EQ(ReadBytes(dir.Path("b")), "old");
  EXPECT_EQ(utlCopyFile(a.c_str(), b.c_str(), kCopyOverwrite), 0);
  EXPECT_EQ(ReadBytes(dir.Path("b")), "new");
  EXPECT_NE(utlCopyFile(dir.Path("missing").string().c_str(), b.c_str(), kCopyOverwrite), 0);
  EXPECT_NE(utlCopyFile(nullptr, b.c_str(), kCopyOverwrite), 0);
  EXPECT_NE(utlCopyFile(a.c_str(), nullptr, kCopyOverwrite), 0);
}

}  // namespace
