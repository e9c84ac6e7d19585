// The process-wide line cap under threads that set it while others read.
#include <gtest/gtest.h>

#include <string>

#include <kxutils96/files/text_file_lines.h>
#include <support/concurrently.h>
#include <support/file_bytes.h>
#include <support/temp_dir.h>
#include <support/utf8_path.h>

namespace {

constexpr int kRounds = 50;
constexpr int kLowCap = 3;
constexpr int kHighCap = 60;

bool IsOneOfTheCaps(int nLines) {
  return nLines == kLowCap || nLines == kHighCap;
}

// A call reads the cap once: a read stops at a cap that was set, never at a
// line count between two caps that changed under it.
TEST(LineCapThreads, EveryReadStopsAtACapThatWasSet) {
  const int nSavedCap = kxuReadTextFileLines(nullptr, nullptr, 0);
  kxuReadTextFileLines("", nullptr, kLowCap);
  kxu::test::TempDir dir;
  std::string many;
  for (int i = 0; i < 2 * kHighCap; ++i) many += std::to_string(i) + "\n";
  kxu::test::WriteBytes(dir.Path("f.txt"), many);
  const std::string path = kxu::test::Utf8(dir.Path("f.txt"));
  kxu::test::RunConcurrently(kxu::test::kThreads, [&path](int k) {
    for (int i = 0; i < kRounds; ++i) {
      if (k == 0) {
        kxuReadTextFileLines("", nullptr, i % 2 == 0 ? kHighCap : kLowCap);
        EXPECT_PRED1(IsOneOfTheCaps, kxuReadTextFileLines(nullptr, nullptr, 0));
      } else {
        CZQVStringArray lines;
        EXPECT_PRED1(IsOneOfTheCaps, kxuReadTextFileLines(path.c_str(), &lines, READLINES_LIMIT));
      }
    }
  });
  kxuReadTextFileLines("", nullptr, static_cast<unsigned>(nSavedCap));
}

}  // namespace
