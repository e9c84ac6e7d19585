#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include <kxutils96/files/text_file_lines.h>
#include <support/array_text.h>
#include <support/concurrently.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

namespace {

using namespace kxu::test;
using namespace std::string_literals;

constexpr int kInitialCap = 80;

bool IsOneOfTheCaps(int nLines) {
  return nLines == 3 || nLines == 60;
}
using kxu::files::kLinesCapSet;

// Keeps the process-wide line cap of one test from reaching the others.
class ReadLines : public testing::Test {
 protected:
  void SetUp() override { m_nSavedCap = kxuReadTextFileLines(nullptr, nullptr, 0); }
  void TearDown() override {
    kxuReadTextFileLines("", nullptr, static_cast<unsigned>(m_nSavedCap));
  }

  static void SetCap(int nCap) {
    ASSERT_EQ(kxuReadTextFileLines("", nullptr, static_cast<unsigned>(nCap)), kLinesCapSet);
  }

  int m_nSavedCap = 0;
};

// Each row with its cap set, appended after what the array held.
TEST_F(ReadLines, AppendsTheLinesTheOptionsKeep) {
  const std::string kMixed = "a\r\n\r\n  \n b \nc";
  const std::string kEmptyFirst = "\n\nx\ny\n\nz";
  const unsigned kLimitSkip = READLINES_LIMIT | READLINES_SKIP_EMPTY;
  const std::tuple<std::string, unsigned int, int, Texts> cases[] = {
      {"", 0, 80, {}},
      {kMixed, 0, 80, {"a", "", "  ", " b ", "c"}},
      // Without TRIM a line of blanks is not empty.
      {kMixed, READLINES_SKIP_EMPTY, 80, {"a", "  ", " b ", "c"}},
      {kMixed, READLINES_TRIM | READLINES_SKIP_EMPTY, 80, {"a", "b", "c"}},
      {"a\n b", 0xFFFFFFF8u, 1, {"a", " b"}},
      {"1\n2\n3\n4\n5", READLINES_LIMIT, 3, {"1", "2", "3"}},
      {"1\n2\n3", READLINES_LIMIT, 0, {"1"}},
      // Skipped empty lines do not count toward the cap.
      {kEmptyFirst, kLimitSkip, 2, {"x", "y"}},
      {"\xFF\xFEx\0\r\0\n\0\xE9\0"s, 0, 80, {"x", "\xC3\xA9"}},
      // A line's text ends at its first NUL, in either encoding.
      {"a\0bc\n"s, 0, 80, {"a"}},
      {"\xFF\xFEx\0\0\0y\0"s, 0, 80, {"x"}},
  };
  TempDir dir;
  for (const auto& [bytes, dwFlags, nCap, kept] : cases) {
    SetCap(nCap);
    WriteBytes(dir.Path("f.txt"), bytes);
    CZQVStringArray lines = ArrayOf({"old"});
    Texts expected = kept;
    expected.insert(expected.begin(), "old");
    EXPECT_EQ(kxuReadTextFileLines(Utf8(dir.Path("f.txt")).c_str(), &lines, dwFlags),
              static_cast<int>(expected.size()));
    EXPECT_EQ(TextsOf(lines), expected) << testing::PrintToString(bytes);
  }
}

// The cap is 80 from load (each test restores it); setting it answers -2,
// and a null name reports it. It is taken as a signed int.
TEST_F(ReadLines, TheCapIs80FromLoadAndSetOrReportedWithoutAnArray) {
  EXPECT_EQ(kxuReadTextFileLines(nullptr, nullptr, 0), kInitialCap);
  EXPECT_EQ(kxuReadTextFileLines("any", nullptr, 17), kLinesCapSet);
  EXPECT_EQ(kxuReadTextFileLines(nullptr, nullptr, 0), 17);
  EXPECT_EQ(kxuReadTextFileLines("any", nullptr, 0xFFFFFFFFu), kLinesCapSet);
  EXPECT_EQ(kxuReadTextFileLines(nullptr, nullptr, 0), -1);
}

// A missing file, a folder and a null name give -1 and leave the array.
TEST_F(ReadLines, FailuresToOpenGiveMinusOneAndLeaveTheArray) {
  TempDir dir;
  for (const std::string& name : {Utf8(dir.Path("missing.txt")), Utf8(dir.Path()), std::string()}) {
    CZQVStringArray lines = ArrayOf({"kept"});
    EXPECT_EQ(kxuReadTextFileLines(name.empty() ? nullptr : name.c_str(), &lines, 0),
              kxu::files::kLinesOpenFailed)
        << name;
    EXPECT_EQ(TextsOf(lines), Texts{"kept"});
  }
}

// A call reads the cap once: a read stops at a cap that was set, never at a
// line count between two caps that changed under it.
TEST_F(ReadLines, UnderThreadsEveryReadStopsAtACapThatWasSet) {
  kxuReadTextFileLines("", nullptr, 3);
  TempDir dir;
  std::string many;
  for (int i = 0; i < 120; ++i) many += "x\n";
  WriteBytes(dir.Path("f.txt"), many);
  const std::string path = Utf8(dir.Path("f.txt"));
  kxu::test::RunConcurrently(kxu::test::kThreads, [&path](int k) {
    for (int i = 0; i < 50; ++i) {
      if (k == 0) {
        kxuReadTextFileLines("", nullptr, i % 2 == 0 ? 60 : 3);
        EXPECT_PRED1(IsOneOfTheCaps, kxuReadTextFileLines(nullptr, nullptr, 0));
      } else {
        CZQVStringArray lines;
        EXPECT_PRED1(IsOneOfTheCaps, kxuReadTextFileLines(path.c_str(), &lines, READLINES_LIMIT));
      }
    }
  });
}

}  // namespace
