// The installed `kxu` in the shell's hands: pipes, FIFOs and process
// substitutions as file arguments.
//
// The installed `kxu` on an input past the library's 2 GiB limit, streamed
// from a generator through a pipe: nothing of it is stored anywhere. The
// sanitizer presets leave these tests out (TextPastInt).
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "tools/kxu_test.h"

namespace {

using namespace kxu::test;

class KxuShellTest : public KxuTest {
 protected:
  // Runs the bash `script` with the positional parameters `args` in the
  // test's folder, where `kxu` runs the installed program.
  Outcome Shell(const std::string& script, std::vector<std::string> args = {}) {
    args.insert(args.begin(), {"-c", "kxu() { \"$0\" \"$@\"; }; " + script, KXU_INSTALLED_PROGRAM});
    return Run(args, "", "/bin/bash");
  }
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

TEST_F(KxuShellTest, EveryKindOfFileArgumentReadsLikeTheRegularFile) {
  kxu::test::WriteBytes(Path("in.txt"), std::string("\xFF\xFE"
                                                    "b\0,\0a\0\n\0a\0\n\0",
                                                    14));
  // A writer blocked on a FIFO that was never opened is freed by `exec 3<>f`.
  const char* const forms[] = {
      "kxu ARGS <(cat in.txt)",
      "cat in.txt | kxu ARGS /dev/stdin",
      "mkfifo f && { cat in.txt > f & } && kxu ARGS f; r=$?; exec 3<>f; rm f; exit $r",
      "cat in.txt | kxu ARGS -",
  };
  for (const char* args : {"read", "lines", "csv"}) {
    const Outcome regular = Shell(std::string("kxu ") + args + " in.txt");
    ASSERT_EQ(regular.exit_code, 0) << args << ": " << regular.err;
    ASSERT_NE(regular.out, "") << args;
    for (const char* form : forms) {
      SCOPED_TRACE(Replaced(form, "ARGS", args));
      const Outcome piped = Shell(Replaced(form, "ARGS", args));
      EXPECT_EQ(piped.exit_code, 0) << piped.err;
      EXPECT_EQ(piped.out, regular.out);
    }
  }
}

// Slash paths are normalised first and give what `realpath -m --relative-to`
// gives: the root, relative paths, "..", repeated and trailing slashes.
TEST_F(KxuShellTest, RelativePathsAgreeWithRealpath) {
  const char* const cases[][2] = {{"/a/b/c/", "/x/y"},
                                  {"/", "/x/y"},
                                  {"/x/y", "/"},
                                  {"/w/d/../p/", "/w/p/x"},
                                  {"/w/d", "/w/d"},
                                  {"a/b", "c"},
                                  {"a", "b"},
                                  {".", "../x"},
                                  {"/a//b/./c", "/a/b/c/d/"},
                                  {"/a/b", "/a"},
                                  {"/a/b/", "/a/b/../../.."},
                                  {"../..", "/"}};
  for (const auto& [base, path] : cases) {
    SCOPED_TRACE(std::string(base) + " " + path);
    const Outcome relpath =
        Shell("kxu relpath \"$1\" \"$2\"; realpath -m --relative-to=\"$1\" \"$2\"", {base, path});
    EXPECT_EQ(relpath.exit_code, 0) << relpath.err;
    const size_t half = relpath.out.find('\n') + 1;
    EXPECT_EQ(relpath.out.substr(0, half), relpath.out.substr(half));
  }
}

// At a terminal, work shorter than a second shows no progress line: the
// output is all that reaches it (`script` gives kxu a terminal).
TEST_F(KxuShellTest, QuickWorkAtATerminalShowsOnlyItsOutput) {
  kxu::test::WriteBytes(Path("in.txt"), "a\nb\n");
  const Outcome outcome =
      Run({"-qec", std::string(KXU_INSTALLED_PROGRAM) + " read in.txt", "/dev/null"}, "",
          "/usr/bin/script");
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "a\r\nb\r\n");
}

// The installed completion scripts of both shells offer the commands, a
// command's options, and after an option the values it takes.
TEST_F(KxuShellTest, CompletionOffersCommandsOptionsAndValues) {
  const std::string bash = "source " KXU_INSTALLED_COMPLETION
                           "; COMP_WORDS=($0); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _kxu; "
                           "echo \"${COMPREPLY[*]}\"";
  const std::string zsh = "compdef() { :; }; source " KXU_INSTALLED_ZSH_COMPLETION
                          "; words=(${=0}); CURRENT=${#words}; _kxu_offered; echo \"${reply[*]}\"";
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {bash, "kxu convert --to utf-16b", "utf-16be"},
      {bash, "kxu pad 5 --align c", "center"},
      {zsh, "kxu read --from shift", "shift_jis"},
      {zsh, "kxu sort --missing h", "high"},
      {zsh, "kxu archive l", "list"},
      {zsh, "kxu sort --de", "--descending"},
  };
  for (const auto& [script, line, offered] : cases) {
    SCOPED_TRACE(line);
    const Outcome outcome =
        Run({"-c", script, line}, "", script == bash ? "/bin/bash" : "/usr/bin/zsh");
    EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
    EXPECT_EQ(outcome.out, offered + "\n");
  }
}

class TextPastInt : public KxuShellTest {};

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
  const Outcome run = Shell(
      "mkfifo lines convert; "
      "{ kxu lines; echo $? > lines.exit; } < lines | cksum > lines.sum & "
      "{ kxu convert --to cp1252; echo $? > convert.exit; } < convert | cksum > convert.sum & "
      "yes \"$1\" | head -c 3G | tee lines convert | { kxu csv; echo $? > csv.exit; } | "
      "cksum > csv.sum; wait",
      {line});
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
    const std::string many = Shell("yes \"$1\" | head -c $2 | cksum",
                                   {one.substr(0, one.size() - 1),
                                    std::to_string(lines * static_cast<long long>(one.size()))})
                                 .out;
    EXPECT_EQ(kxu::test::ReadBytes(Path(args[0] + ".exit")), "0\n");
    EXPECT_EQ(kxu::test::ReadBytes(Path(args[0] + ".sum")), many);
  }
}

}  // namespace
