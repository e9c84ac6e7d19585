// Writing and reading a file's exact bytes in tests, and a long path whose
// UTF-16 form exceeds 1024 units (nested folders of long names, since one
// name may not exceed 255 bytes).
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace kxu::test {

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Creates folders under `base` until the path is longer than `nMinLength`
// bytes of ASCII and returns the path of `fileName` inside the deepest one.
inline std::filesystem::path LongPath(const std::filesystem::path& base, std::string_view fileName,
                                      std::size_t nMinLength = 1100) {
  std::filesystem::path folder = base;
  while (folder.native().size() <= nMinLength) {
    folder /= std::string(200, 'd');
    std::filesystem::create_directory(folder);
  }
  return folder / fileName;
}

}  // namespace kxu::test
