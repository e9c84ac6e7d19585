// The installed `kxu` run as a user runs it: arguments, stdin from a file,
// and its stdout, stderr and exit code checked.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/run_in_folder.h"
#include "support/temp_dir.h"

namespace kxu::test {

struct Outcome {
  int exit_code = -1;
  std::string out;
  std::string err;
};

class KxuTest : public ::testing::Test {
 protected:
  // Runs `program` (by default the installed kxu) with `args` in the test's
  // folder, `input` on stdin.
  Outcome Run(const std::vector<std::string>& args, const std::string& input = "",
              const std::filesystem::path& program = KXU_INSTALLED_PROGRAM) {
    WriteBytes(dir_.Path("stdin"), input);
    const int nExitCode = RunInFolder(dir_.Path(), program, args);
    return {nExitCode, ReadBytes(dir_.Path("stdout")), ReadBytes(dir_.Path("stderr"))};
  }

  std::filesystem::path Path(const std::string& name) const { return dir_.Path(name); }

 private:
  TempDir dir_;
};

}  // namespace kxu::test
