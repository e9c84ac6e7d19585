// The running test program's own file, asked of the system directly rather
// than through the library, so that the library's answer can be checked
// against it.
#pragma once

#include <filesystem>

namespace kxu::test {

std::filesystem::path ProgramPath();

}  // namespace kxu::test
