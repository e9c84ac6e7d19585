#include <kxutils96/files/relative_path.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace kxu::files;

// The result code, and for 0 the relative path; otherwise the result keeps
// its text.
TEST(MakeRelativePath, GivesTheResultOfItsRow) {
  const struct {
    const char* base;
    const char* path;
    int nMaxLevels;
    int nExpected;
    const char* result;
  } cases[] = {
      {R"(E:\work\data\)", R"(E:\work\plots\a.png)", 9, kRelativePathDone, R"(..\plots\a.png)"},
      {R"(E:\work\data\in.txt)", R"(E:\work\plots\a.png)", 9, kRelativePathDone,
       R"(..\plots\a.png)"},
      {R"(E:\work\data)", R"(E:\work\plots\a.png)", 9, kRelativePathDone, R"(plots\a.png)"},
      {R"(E:\ab\)", R"(E:\abc\f.txt)", 9, kRelativePathDone, R"(..\abc\f.txt)"},
      {R"(E:\a\b\c\d\)", R"(E:\a\x\f)", 2, kRelativePathTooManyLevels, ""},
      {R"(E:\a\b\c\d\)", R"(E:\a\x\f)", 3, kRelativePathDone, R"(..\..\..\x\f)"},
      {R"(E:\work\)", R"(E:\work\a.png)", 0, kRelativePathDone, "a.png"},
      {R"(E:\work\sub\)", R"(E:\work\a.png)", 0, kRelativePathTooManyLevels, ""},
      {R"(e:\work\)", R"(E:\work\a.png)", 9, kRelativePathNothingShared, ""},
      {"", R"(E:\work\a.png)", 9, kRelativePathNothingShared, ""},
      // A backslash at the first byte does not count as a shared folder.
      {R"(\x\)", R"(\y\f)", 9, kRelativePathNothingShared, ""},
      {"E:/work/", "E:/work/a.png", 9, kRelativePathNoFolder, ""},
      {R"(\\)", R"(\\f)", 9, kRelativePathNoFolder, ""},
      {nullptr, R"(E:\a\b)", 9, kRelativePathNoFolder, ""},
      {R"(E:\a\)", nullptr, 9, kRelativePathNoFolder, ""},
      {R"(E:\w\)", R"(E:\w\)", 9, kRelativePathDone, ""},
  };
  for (const auto& c : cases) {
    CStringUTF8 strResult("untouched");
    EXPECT_EQ(kxu_make_relative_path(&strResult, c.base, c.path, c.nMaxLevels), c.nExpected)
        << (c.base ? c.base : "null") << " " << (c.path ? c.path : "null") << " " << c.nMaxLevels;
    EXPECT_STREQ(strResult, c.nExpected == kRelativePathDone ? c.result : "untouched")
        << c.nMaxLevels;
  }
  EXPECT_EQ(kxu_make_relative_path(nullptr, R"(E:\a\)", R"(E:\a\b)", 9), kRelativePathNoFolder);
}

}  // namespace
