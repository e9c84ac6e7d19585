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
      {R"(E:\work\)", R"(E:\work\plots\a.png)", 9, kRelativePathDone, R"(plots\a.png)"},
      {R"(E:\work\data\in.txt)", R"(E:\work\plots\a.png)", 9, kRelativePathDone,
       R"(..\plots\a.png)"},
      {R"(E:\work\data)", R"(E:\work\plots\a.png)", 9, kRelativePathDone, R"(plots\a.png)"},
      {R"(E:\ab\)", R"(E:\abc\f.txt)", 9, kRelativePathDone, R"(..\abc\f.txt)"},
      {R"(E:\a\b\c\d\)", R"(E:\a\x\f)", 9, kRelativePathDone, R"(..\..\..\x\f)"},
      {R"(E:\a\b\c\d\)", R"(E:\a\x\f)", 2, kRelativePathTooManyLevels, ""},
      {R"(E:\a\b\c\d\)", R"(E:\a\x\f)", 3, kRelativePathDone, R"(..\..\..\x\f)"},
      {R"(E:\work\)", R"(E:\work\a.png)", 0, kRelativePathDone, "a.png"},
      {R"(E:\work\sub\)", R"(E:\work\a.png)", 0, kRelativePathTooManyLevels, ""},
      {R"(E:\work\)", R"(E:\work\a.png)", -1, kRelativePathTooManyLevels, ""},
      {R"(e:\work\)", R"(E:\work\a.png)", 9, kRelativePathNothingShared, ""},
      {R"(D:\work\)", R"(E:\work\a.png)", 9, kRelativePathNothingShared, ""},
      {"", R"(E:\work\a.png)", 9, kRelativePathNothingShared, ""},
      // A backslash at the first byte does not count as a shared folder.
      {R"(\x\)", R"(\y\f)", 9, kRelativePathNothingShared, ""},
      {"E:/work/", "E:/work/a.png", 9, kRelativePathNoFolder, ""},
      {R"(E:\)", "a.png", 9, kRelativePathNoFolder, ""},
      {R"(\\)", R"(\\f)", 9, kRelativePathNoFolder, ""},
      {R"(E:\w\)", R"(E:\w\)", 9, kRelativePathDone, ""},
      {"E:\\\xC3\xA9t\xC3\xA9\\x\\", "E:\\\xC3\xA9t\xC3\xA9\\y\\f", 9, kRelativePathDone,
       "..\\y\\f"},
  };
  for (const auto& c : cases) {
    CStringUTF8 strResult("untouched");
    EXPECT_EQ(kxu_make_relative_path(&strResult, c.base, c.path, c.nMaxLevels), c.nExpected)
        << c.base << " " << c.path << " " << c.nMaxLevels;
    EXPECT_STREQ(strResult, c.nExpected == kRelativePathDone ? c.result : "untouched") << c.path;
  }
}

TEST(MakeRelativePathArguments, NullArgumentsGiveMinusOneAndChangeNothing) {
  CStringUTF8 strResult("untouched");
  EXPECT_EQ(kxu_make_relative_path(&strResult, nullptr, R"(E:\a\b)", 9), -1);
  EXPECT_EQ(kxu_make_relative_path(&strResult, R"(E:\a\)", nullptr, 9), -1);
  EXPECT_EQ(kxu_make_relative_path(nullptr, R"(E:\a\)", R"(E:\a\b)", 9), -1);
  EXPECT_STREQ(strResult, "untouched");
}

}  // namespace
