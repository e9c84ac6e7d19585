// CopyFileW and a named pipe, which only POSIX systems make with mkfifo():
// neither read from nor written into, and never waited on for the other end.
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

TEST(CopyFileW, RefusesAPipeWithoutWaitingForItsOtherEnd) {
  kxu::test::TempDir dir;
  kxu::test::WriteBytes(dir.Path("a"), "a");
  ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  for (const auto& [from, to] : {std::pair{"pipe", "copy"}, {"a", "pipe"}}) {
    // Should the copy wait, the other end comes after a generous bound and
    // the test fails instead of hanging. The last error is the copying thread's.
    std::future<std::pair<BOOL, DWORD>> copied = std::async(std::launch::async, [&] {
      const BOOL bCopied =
          CopyFileW(dir.Path(from).u16string().c_str(), dir.Path(to).u16string().c_str(), FALSE);
      return std::make_pair(bCopied, GetLastError());
    });
    if (copied.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
      ADD_FAILURE() << "the copy waited for the pipe's other end";
      const int end =
          ::open(dir.Path("pipe").c_str(), (from[0] == 'p' ? O_WRONLY : O_RDONLY) | O_NONBLOCK);
      copied.wait();
      ::close(end);
    }
    EXPECT_EQ(copied.get(), std::make_pair(FALSE, DWORD{ERROR_ACCESS_DENIED})) << from;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("copy")));
  }
}

}  // namespace
