// A fresh, empty directory for one test: a new folder with a random name in
// the system's folder for temporary files, removed with everything in it when
// the object goes away. Each object has its own directory, so tests that use
// one never see one another's files.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

#include "support/utf8_path.h"

namespace kxu::test {

class TempDir {
 public:
  TempDir() : m_path(MakeFreshDirectory()) {}
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;  // a destructor must not throw; leftovers are only clutter
    std::filesystem::remove_all(m_path, ignored);
  }

  const std::filesystem::path& Path() const noexcept { return m_path; }
  // The path of `name` (UTF-8, may hold folders) inside the directory;
  // nothing is created.
  std::filesystem::path Path(std::string_view name) const { return m_path / PathOfUtf8(name); }

 private:
  static std::filesystem::path MakeFreshDirectory() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::mt19937_64 random{std::random_device{}()};
    // A name another process took in the meantime is only tried again.
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      const std::filesystem::path candidate = base / ("kxu_test_" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate)) return candidate;
    }
    throw std::runtime_error("no fresh folder could be made in " + Utf8(base));
  }

  static constexpr int kAttempts = 100;
  std::filesystem::path m_path;
};

}  // namespace kxu::test
