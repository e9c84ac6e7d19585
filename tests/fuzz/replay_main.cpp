// Replays a fuzz target's inputs without libFuzzer: feeds every file of the
// folder given, in name order, to the target's entry point, each in a buffer
// of exactly its size (so that a read past its end is seen). A broken
// property aborts after the file's name went to stderr. Exit 1 when the
// folder holds no file.
// Example: tokens_replay tests/fuzz/corpus/tokens
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/file_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  if (argc == 2) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) files.push_back(entry);
  }
  std::sort(files.begin(), files.end());
  for (const std::filesystem::path& file : files) {
    std::fprintf(stderr, "replaying %s\n", file.string().c_str());
    const std::string bytes = kxu::test::ReadBytes(file);
    const auto input = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), input.get());
    LLVMFuzzerTestOneInput(input.get(), bytes.size());
  }
  return files.empty() ? 1 : 0;
}
