// Directory copy and delete with what only POSIX file systems hold here:
// names of bytes that are not UTF-8 or with a backslash inside, and symbolic
// links made without special rights.
//
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

#include <support/temp_dir.h>
#include <chrono>
#include <functional>
#include <future>
#include <string>

#include "files/directories_fixture.h"

namespace {

using namespace kxu::test;
using namespace kxu::files;  // the result codes

// Names that are not UTF-8 are copied, deleted and read like others; a
// backslash inside a name never acts as a separator.
TEST_F(Directories, NamesThatAreNotUtf8OrHoldABackslash) {
  MakeTree("src", {"a", "caf\xE9.txt", "d\xFF/\xC3", "z"});
  EXPECT_EQ(Copy("dst"), kDirectoryDone);
  EXPECT_EQ(TreeOf("dst"), TreeOf("src"));
  EXPECT_EQ(kxuDelFiles(P("dst").c_str(), "*.*", nullptr), 3);
  EXPECT_EQ(kxuDelFiles(P("dst/d\xFF").c_str(), "*.*", nullptr), 1);
  EXPECT_EQ(TreeOf("dst"), (Paths{"d\xFF/"}));
  CStringUTF8 strText;
  EXPECT_EQ(kxu_read_text_file(P("src/caf\xE9.txt").c_str(), &strText, 0), 1);

  MakeTree("b", {"victim", "D/x/inner", "D/x\\inner", "D/..\\victim", "D/x\\..\\..\\victim"});
  Paths expected = TreeOf("b");
  EXPECT_EQ(kxuDelFiles(P("b/D").c_str(), "*.*", nullptr), 0);
  EXPECT_EQ(kxuCopyDirectory(P("b/D").c_str(), P("b/C").c_str(), 1, nullptr, nullptr, 0),
            kDirectoryDone);
  expected.insert({"C/", "C/x/", "!C/x/inner"});
  EXPECT_EQ(TreeOf("b"), expected);
}

// A link to a file copies the file; a link to a folder of the tree copies
// that folder where the link stands, except through a link back to a folder
// holding it; every other link to a folder is passed over and reported.
TEST_F(Directories, LinksNeverLeadOutOfTheSource) {
  MakeTree("src", {"a.txt", "in/b.txt", "in/deep/c.txt"});
  MakeTree("outside", {"secret.txt"});
  for (const auto& [link, target] : {std::pair{"src/loop", ".."},
                                     {"src/out", "../outside"},
                                     {"src/in/up", ".."},
                                     {"src/inlink", "in"},
                                     {"src/file.lnk", "a.txt"}})
    fs::create_symlink(target, m_dir.Path(link));
  Paths passed;
  const auto report = [](const char* lpcszLink, void* pPassed) {
    static_cast<Paths*>(pPassed)->insert(lpcszLink);
  };
  EXPECT_EQ(kxuCopyDirectoryReportingLinks(P("src").c_str(), P("dst").c_str(), 1, nullptr, nullptr,
                                           0, report, &passed),
            kDirectoryDone);
  EXPECT_EQ(TreeOf("dst"),
            (Paths{"a.txt", "!file.lnk", "in/", "in/b.txt", "in/deep/", "in/deep/c.txt", "inlink/",
                   "!inlink/b.txt", "inlink/deep/", "!inlink/deep/c.txt"}));
  EXPECT_EQ(passed, (Paths{"loop", "out", "in\\up", "inlink\\up"}));
}

// Each copy keeps its source's permission bits and modification time, made
// new under a file-creation mask that takes bits away and when it overwrites
// a file of other bits.
TEST_F(Directories, CopiesKeepPermissionBitsAndTimes) {
  const fs::perms modes[] = {fs::perms(0666), fs::perms(0604), fs::perms(0444), fs::perms(0750)};
  const auto when = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  MakeTree("src", {"m0", "m1", "m2", "m3"});
  for (int i = 0; i < 4; ++i) {
    fs::last_write_time(m_dir.Path("src/m" + std::to_string(i)), when);
    fs::permissions(m_dir.Path("src/m" + std::to_string(i)), modes[i]);
  }
  const mode_t savedMask = ::umask(027);
  for (int bNested : {0, 1}) {
    EXPECT_EQ(Copy("dst", bNested), kDirectoryDone);
    for (int i = 0; i < 4; ++i) {
      const fs::path copy = m_dir.Path("dst/m" + std::to_string(i));
      EXPECT_EQ(fs::status(copy).permissions(), modes[i]) << i << " nested " << bNested;
      EXPECT_EQ(fs::last_write_time(copy), when) << i << " nested " << bNested;
      fs::permissions(copy, fs::perms(0600));
    }
  }
  ::umask(savedMask);
}

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
