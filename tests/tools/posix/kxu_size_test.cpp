// The installed `kxu` on an input past the library's 2 GiB limit, streamed
// from a generator through a pipe: nothing of it is stored anywhere. The
// sanitizer presets leave these tests out (TextPastInt).
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tools/kxu_test.h"

namespace {

class TextPastInt : public kxu::test::KxuTest {};

TEST_F(TextPastInt, LineCommandsStreamThreeGibFromAPipeInBoundedMemory) {
  // Two minutes of work: the default test preset (the README's test command)
  // asks for it; a bare ctest run, such as a mutation run's, passes it by.
  if (std::getenv("KXU_TEST_HUGE_INPUTS") == nullptr) {
    GTEST_SKIP() << "set KXU_TEST_HUGE_INPUTS=1 to stream 3 GiB";
  }
  // 96-byte lines, 3 GiB of them, from one generator to the three commands;
  // each output is summed as it goes, and compared with the sum of the
  // output of one line repeated as often.
  std::string line = "1,\"a \"\"b\"\"\",caf\xC3\xA9,(d,e),x";
  line.resize(95, 'w');
  const long long lines = 3LL * 1024 * 1024 * 1024 / 96;
  const kxu::test::Outcome run = Run(
      {"-c",
       "kxu=$0; mkfifo lines convert; "
       "{ $kxu lines; echo $? > lines.exit; } < lines | cksum > lines.sum & "
       "{ $kxu convert --to cp1252; echo $? > convert.exit; } < convert | cksum > convert.sum & "
       "yes \"$1\" | head -c 3G | tee lines convert | { $kxu csv; echo $? > csv.exit; } | "
       "cksum > csv.sum; wait",
       KXU_INSTALLED_PROGRAM, line},
      "", "/bin/bash");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  // The largest process of the pipeline, kxu or a standard tool.
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  EXPECT_LT(usage.ru_maxrss, 64 * 1024) << "KiB at the peak";
  RecordProperty("peak_kib", static_cast<int>(usage.ru_maxrss));
  const std::vector<std::string> commands[] = {{"csv"}, {"lines"}, {"convert", "--to", "cp1252"}};
  for (const auto& args : commands) {
    SCOPED_TRACE(args[0]);
    const std::string one = Run(args, line + "\n").out;
    ASSERT_TRUE(one.ends_with('\n'));
    const std::string many =
        Run({"-c", "yes \"$0\" | head -c $1 | cksum", one.substr(0, one.size() - 1),
             std::to_string(lines * static_cast<long long>(one.size()))},
            "", "/bin/bash")
            .out;
    EXPECT_EQ(kxu::test::ReadBytes(Path(args[0] + ".exit")), "0\n");
    EXPECT_EQ(kxu::test::ReadBytes(Path(args[0] + ".sum")), many);
  }
}

}  // namespace
