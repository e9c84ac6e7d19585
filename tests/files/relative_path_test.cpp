#include <kxutils96/files/relative_path.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using namespace kxu::files;

// The result code, and for 0 the relative path; otherwise the result keeps
// its text.
TEST(MakeRelativePath, GivesTheResultOfItsRow) {
  const std::tuple<const char*, const char*, int, int, const char*> cases[] = {
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
  for (const auto& [base, path, nMaxLevels, nExpected, result] : cases) {
    CStringUTF8 strResult("untouched");
    EXPECT_EQ(kxu_make_relative_path(&strResult, base, path, nMaxLevels), nExpected)
        << (base ? base : "null") << " " << (path ? path : "null") << " " << nMaxLevels;
    EXPECT_STREQ(strResult, nExpected == kRelativePathDone ? result : "untouched") << nMaxLevels;
  }
  EXPECT_EQ(kxu_make_relative_path(nullptr, R"(E:\a\)", R"(E:\a\b)", 9), kRelativePathNoFolder);
}

}  // namespace
