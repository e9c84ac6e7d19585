// CopyFileW and a named pipe, which only POSIX systems make with mkfifo().
#include <kxutils96/platform/win32/win_file.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <utility>

#include "support/file_bytes.h"
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

TEST(CopyFileW, RefusesToWriteIntoAPipeWithoutWaitingForAReader) {
  kxu::test::TempDir dir;
  kxu::test::WriteBytes(dir.Path("a"), "a");
  ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  // Should the copy wait for a reader, one comes after a generous bound and
  // the test fails instead of hanging.
  // The result and the last error, which belongs to the copying thread.
  std::future<std::pair<BOOL, DWORD>> copied = std::async(std::launch::async, [&] {
    const BOOL bCopied =
        CopyFileW(dir.Path("a").u16string().c_str(), dir.Path("pipe").u16string().c_str(), FALSE);
    return std::make_pair(bCopied, GetLastError());
  });
  if (copied.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
    ADD_FAILURE() << "the copy waited for a reader";
    const int reader = ::open(dir.Path("pipe").c_str(), O_RDONLY | O_NONBLOCK);
    copied.wait();
    ::close(reader);
  }
  EXPECT_EQ(copied.get(), std::make_pair(FALSE, DWORD{ERROR_ACCESS_DENIED}));
}

}  // namespace
