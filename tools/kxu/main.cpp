// kxu: try and script the library's functions without writing C++.
#include <cstdio>
#include <cstring>

#include "archive_command.h"

namespace {

constexpr const char* kUsage =
    "usage: kxu COMMAND [ARGS...]\n"
    "Commands:\n"
    "  archive   list or write string arrays in the archive format\n"
    "Run 'kxu COMMAND --help' for a command's options and an example.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (std::strcmp(argv[1], "archive") == 0) return kxu::tool::RunArchiveCommand(argc - 2, argv + 2);
  std::fprintf(stderr, "kxu: unknown command '%s'\n", argv[1]);
  std::fputs(kUsage, stderr);
  return 2;
}
