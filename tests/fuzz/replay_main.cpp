// Replays a fuzz target's inputs without libFuzzer: feeds every file of the
// folders given, in name order, to the target's entry point, each in a buffer
// of exactly its size (so that a read past its end is seen). A broken
// property aborts, after the file's name went to stderr. Exit 1 when a
// folder cannot be listed or holds no file.
// Example: tokens_replay tests/fuzz/corpus/tokens
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "support/file_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// The files of `folder`, in name order; empty when it cannot be listed.
std::vector<std::filesystem::path> FilesOf(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

void Replay(const std::filesystem::path& file) {
  std::fprintf(stderr, "replaying %s\n", file.string().c_str());
  const std::string bytes = kxu::test::ReadBytes(file);
  const auto input = std::make_unique<std::uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), input.get());
  LLVMFuzzerTestOneInput(input.get(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::vector<std::filesystem::path> files = FilesOf(argv[i]);
    if (files.empty()) {
      std::fprintf(stderr, "no inputs in %s\n", argv[i]);
      return 1;
    }
    for (const std::filesystem::path& file : files) Replay(file);
    std::fprintf(stderr, "%s inputs of %s passed\n", std::to_string(files.size()).c_str(), argv[i]);
  }
  return 0;
}
