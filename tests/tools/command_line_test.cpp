// The frame of kxu's commands, run in process: what reaches the user when
// the library refuses the work.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "command_line.h"
#include "support/file_bytes.h"
#include "support/system_rules.h"
#include "support/temp_dir.h"
#include "support/utf8_path.h"
#include "text_io.h"

namespace {

// Each exception the library (or the standard library under it) raises to
// refuse the work ends in one line naming the input and the limit, exit 1.
TEST(KxuFrame, EveryRefusalOfTheLibraryReachesTheUser) {
  if (!kxu::test::kExceptionsLeaveTheSharedLibrary) GTEST_SKIP() << "no unwinding out of the DLL";
  const kxu::test::TempDir dir;
  const std::string input = kxu::test::Utf8(dir.Path("in.txt"));
  kxu::test::WriteBytes(dir.Path("in.txt"), "x");
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[] { AfxThrowMemoryException(); }, "(out of memory)"},
      {[] { AfxThrowInvalidArgException(); }, "(a size or argument refused)"},
      {[] { AfxThrowArchiveException(CArchiveException::badIndex); },
       "(a broken archive (cause 5))"},
      {[] { AfxThrowFileException(CFileException::diskFull); }, "(a file error (cause 13))"},
      {[] { throw std::length_error("long"); }, "(a length past the standard library's"},
      {[] { throw std::bad_alloc(); }, "(out of memory)"},
  };
  for (const auto& [raise, words] : cases) {
    kxu::tool::CommandLine commands;
    commands.Add("work", "", "", [&, raise = raise] {
      kxu::tool::ReadBytes(input);
      raise();
      return kxu::tool::kExitDone;
    });
    testing::internal::CaptureStderr();
    EXPECT_EQ(commands.Run({"work"}), kxu::tool::kExitFailed) << words;
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("kxu: cannot handle '" + input + "': the library refused it " + words),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("2147483647 bytes (2 GiB - 1)"), std::string::npos) << err;
  }
}

}  // namespace
