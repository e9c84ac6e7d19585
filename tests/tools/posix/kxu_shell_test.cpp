// The installed `kxu` in the shell's hands: pipes, FIFOs and process
// substitutions as file arguments, outputs that cannot be written, and the
// bash completion and manual page that are installed with it.
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

TEST_F(KxuShellTest, AFailedWriteIsAnError) {
  const std::tuple<const char*, const char*> cases[] = {
      {"printf 'a,b\\n' | kxu csv - > /dev/full",
       "kxu: cannot write stdout: No space left on device\n"},
      {"kxu archive store /dev/full a", "kxu: cannot write '/dev/full': No space left on device\n"},
  };
  for (const auto& [script, err] : cases) {
    const Outcome outcome = Shell(script);
    EXPECT_EQ(outcome.exit_code, 1) << script;
    EXPECT_EQ(outcome.err, err) << script;
  }
}

// What bash offers after `kxu WORDS` TAB, one offer per line.
std::string CompletionScript(const std::string& words) {
  return std::string("source '") + KXU_INSTALLED_COMPLETION + "'; COMP_WORDS=(kxu " + words +
         "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _kxu; printf '%s\\n' \"${COMPREPLY[@]}\"";
}

TEST_F(KxuShellTest, CompletionAndManualPageCoverEveryCommandAndOption) {
  const std::string commands = "\n" + Shell(CompletionScript("''")).out;
  EXPECT_EQ(Shell(CompletionScript("sort --de")).out, "--descending\n");
  EXPECT_EQ(Shell(CompletionScript("archive s")).out, "store\n");
  const std::string manual = kxu::test::ReadBytes(KXU_INSTALLED_MANUAL);
  for (const std::string& name : KxuCommands()) {
    SCOPED_TRACE(name);
    EXPECT_NE(commands.find("\n" + name + "\n"), std::string::npos) << commands;
    EXPECT_NE(manual.find(".SS \"\\&kxu " + Replaced(name, "-", "\\-")), std::string::npos);
    // Every option the command's help names is in the manual too.
    const std::string help = Run({name, "--help"}).out;
    for (size_t at = help.find(" --"); at != std::string::npos; at = help.find(" --", at + 1)) {
      const std::string option = help.substr(at + 1, help.find_first_of(" ,=\n", at + 1) - at - 1);
      EXPECT_NE(manual.find(Replaced(option, "-", "\\-")), std::string::npos) << option;
    }
  }
}

}  // namespace
