// The running program's file, from the link /proc/self/exe.
#include "support/program_path.h"

namespace kxu::test {

std::filesystem::path ProgramPath() {
  return std::filesystem::read_symlink("/proc/self/exe");
}

}  // namespace kxu::test
