// The installed `kxu` in the shell's hands: pipes, FIFOs and process
// substitutions as file arguments.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tools/kxu_test.h"

namespace {

using namespace kxu::test;

class KxuShellTest : public kxu::test::KxuTest {
 protected:
  // Runs the bash `script` in the test's folder, where `kxu` runs the
  // installed program.
  Outcome Shell(const std::string& script, const std::string& input = "") {
    return Run({"-c", "kxu() { \"$0\" \"$@\"; }; " + script, KXU_INSTALLED_PROGRAM}, input,
               "/bin/bash");
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
        Run({"-c", "\"$0\" relpath \"$1\" \"$2\"; realpath -m --relative-to=\"$1\" \"$2\"",
             KXU_INSTALLED_PROGRAM, base, path},
            "", "/bin/bash");
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

}  // namespace
