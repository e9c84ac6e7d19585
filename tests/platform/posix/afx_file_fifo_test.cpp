// CFile on a named pipe, which only POSIX systems make with mkfifo().
#include <kxutils96/platform/framework/afx_file.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using kxu::test::TempDir;

TEST(CFileIo, ReadWaitsForTheWholeCountUntilTheEnd) {
  TempDir dir;
  const fs::path fifo = dir.Path("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  CFile file(fifo.u16string().c_str(), CFile::modeRead);
  // The writer sends its bytes in pieces; each piece is a short read for the reader.
  const int fd = ::open(fifo.c_str(), O_WRONLY);
  std::thread writer([&] {
    for (std::string_view piece : {"abc", "defg", "hi"}) {
      EXPECT_EQ(::write(fd, piece.data(), piece.size()), static_cast<ssize_t>(piece.size()));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::close(fd);
  });
  std::string got(100, '\0');
  got.resize(file.Read(got.data(), 100));
  writer.join();
  EXPECT_EQ(got, "abcdefghi");
}

}  // namespace
