// The file readers and the writer on a named pipe that no other end has
// opened, which only POSIX systems make with mkfifo().
#include <kxutils96/files/file_writer.h>
#include <kxutils96/files/gimp_palette.h>
#include <kxutils96/files/text_file_lines.h>
#include <kxutils96/files/text_file_reader.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>

#include <support/temp_dir.h>

namespace {

// `call`'s result, taken on a thread of its own. Should the call still be
// waiting for the pipe's other end after a generous bound, the test fails
// instead of hanging: it holds the pipe open for reading and opens and closes
// it for writing until the call returns, which ends every such wait.
template <class Result>
Result ReturnWithoutAWriter(const char* lpcszFifo, const std::function<Result()>& call) {
  std::future<Result> result = std::async(std::launch::async, call);
  if (result.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
    ADD_FAILURE() << "the call waited for the pipe's other end";
    const int reader = ::open(lpcszFifo, O_RDONLY | O_NONBLOCK);
    while (result.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
      ::close(::open(lpcszFifo, O_WRONLY | O_NONBLOCK));
    }
    ::close(reader);
  }
  return result.get();
}

TEST(ReadersOnAPipe, ReadItAsEmptyWithoutWaitingForAWriter) {
  kxu::test::TempDir dir;
  const std::string fifo = dir.Path("pipe").native();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const char* name = fifo.c_str();
  CStringUTF8 strText("old");
  EXPECT_EQ(ReturnWithoutAWriter<int>(name, [&] { return kxu_read_text_file(name, &strText, 0); }),
            1);
  EXPECT_STREQ(strText, "");
  CZQVStringArray saLines;
  EXPECT_EQ(
      ReturnWithoutAWriter<int>(name, [&] { return kxuReadTextFileLines(name, &saLines, 0); }), 0);
  int rgb[3] = {};
  EXPECT_EQ(ReturnWithoutAWriter<int>(
                name, [&] { return kxu_read_GIMP_palette(name, &rgb[0], &rgb[1], &rgb[2], 1); }),
            -2);
  // Nothing reads the pipe: the writer fails instead of waiting for a reader.
  EXPECT_FALSE(ReturnWithoutAWriter<bool>(name, [&] { return kxuWriteToFile(name, "x"); }));
}

}  // namespace
