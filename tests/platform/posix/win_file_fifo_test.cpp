// CopyFileW and a named pipe, which only POSIX systems make with mkfifo().
#include <kxutils96/platform/win_file.h>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace {

TEST(CopyFileW, RefusesAPipe) {
  kxu::test::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(
      CopyFileW(dir.Path("pipe").u16string().c_str(), dir.Path("copy").u16string().c_str(), FALSE));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("copy")));
}

}  // namespace
