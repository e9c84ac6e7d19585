// Running a program as a user runs it from the system's command interpreter:
// in a given folder, with its standard streams redirected to files there.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kxu::test {

// Runs `program` with the UTF-8 arguments `args` in `folder`, its standard
// input read from the file "stdin" there and its standard output and error
// written to the files "stdout" and "stderr" there. Returns the program's
// exit code, or -1 when it did not end with one (killed by a signal).
int RunInFolder(const std::filesystem::path& folder, const std::filesystem::path& program,
                const std::vector<std::string>& args);

}  // namespace kxu::test
