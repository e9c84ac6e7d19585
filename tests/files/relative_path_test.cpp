#include <kxutils96/files/relative_path.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct RelativeCase {
  const char* base;
  const char* path;
  int nMaxLevels;
  int nExpected;
  const char* result;  // for a result of 0
};

void PrintTo(const RelativeCase& c, std::ostream* os) {
  *os << "base '" << c.base << "' path '" << c.path << "' max " << c.nMaxLevels;
}

using namespace kxu::files;

class MakeRelativePath : public testing::TestWithParam<RelativeCase> {};

TEST_P(MakeRelativePath, GivesTheResultOfItsRow) {
  const RelativeCase& c = GetParam();
  CStringUTF8 strResult("untouched");
  EXPECT_EQ(kxu_make_relative_path(&strResult, c.base, c.path, c.nMaxLevels), c.nExpected);
  EXPECT_STREQ(strResult, c.nExpected == kRelativePathDone ? c.result : "untouched");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MakeRelativePath,
    testing::Values(
        RelativeCase{R"(E:\work\data\)", R"(E:\work\plots\a.png)", 9, kRelativePathDone,
                     R"(..\plots\a.png)"},
        RelativeCase{R"(E:\work\)", R"(E:\work\plots\a.png)", 9, kRelativePathDone,
                     R"(plots\a.png)"},
        RelativeCase{R"(E:\work\data\in.txt)", R"(E:\work\plots\a.png)", 9, kRelativePathDone,
                     R"(..\plots\a.png)"},
        RelativeCase{R"(E:\work\data)", R"(E:\work\plots\a.png)", 9, kRelativePathDone,
                     R"(plots\a.png)"},
        RelativeCase{R"(E:\ab\)", R"(E:\abc\f.txt)", 9, kRelativePathDone, R"(..\abc\f.txt)"},
        RelativeCase{R"(E:\a\b\c\d\)", R"(E:\a\x\f)", 9, kRelativePathDone, R"(..\..\..\x\f)"},
        RelativeCase{R"(E:\a\b\c\d\)", R"(E:\a\x\f)", 2, kRelativePathTooManyLevels, ""},
        RelativeCase{R"(E:\a\b\c\d\)", R"(E:\a\x\f)", 3, kRelativePathDone, R"(..\..\..\x\f)"},
        RelativeCase{R"(E:\work\)", R"(E:\work\a.png)", 0, kRelativePathDone, "a.png"},
        RelativeCase{R"(E:\work\sub\)", R"(E:\work\a.png)", 0, kRelativePathTooManyLevels, ""},
        RelativeCase{R"(E:\work\)", R"(E:\work\a.png)", -1, kRelativePathTooManyLevels, ""},
        RelativeCase{R"(e:\work\)", R"(E:\work\a.png)", 9, kRelativePathNothingShared, ""},
        RelativeCase{R"(D:\work\)", R"(E:\work\a.png)", 9, kRelativePathNothingShared, ""},
        RelativeCase{"", R"(E:\work\a.png)", 9, kRelativePathNothingShared, ""},
        // A backslash at the first byte does not count as a shared folder.
        RelativeCase{R"(\x\)", R"(\y\f)", 9, kRelativePathNothingShared, ""},
        RelativeCase{"E:/work/", "E:/work/a.png", 9, kRelativePathNoFolder, ""},
        RelativeCase{R"(E:\)", "a.png", 9, kRelativePathNoFolder, ""},
        RelativeCase{R"(\\)", R"(\\f)", 9, kRelativePathNoFolder, ""},
        RelativeCase{R"(E:\w\)", R"(E:\w\)", 9, kRelativePathDone, ""},
        RelativeCase{"E:\\\xC3\xA9t\xC3\xA9\\x\\", "E:\\\xC3\xA9t\xC3\xA9\\y\\f", 9,
                     kRelativePathDone, "..\\y\\f"}));

TEST(MakeRelativePathArguments, NullArgumentsGiveMinusOneAndChangeNothing) {
  CStringUTF8 strResult("untouched");
  EXPECT_EQ(kxu_make_relative_path(&strResult, nullptr, R"(E:\a\b)", 9), -1);
  EXPECT_EQ(kxu_make_relative_path(&strResult, R"(E:\a\)", nullptr, 9), -1);
  EXPECT_EQ(kxu_make_relative_path(nullptr, R"(E:\a\)", R"(E:\a\b)", 9), -1);
  EXPECT_STREQ(strResult, "untouched");
}

}  // namespace
