// A fresh, empty directory for one test: made with mkdtemp() under $TMPDIR
// (or /tmp when that is unset or empty) and removed, with everything in it,
// when the object goes away. Each object has its own directory, so tests that
// use one never see one another's files.
#pragma once

#include <stdlib.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

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
  // The path of `name` inside the directory (nothing is created).
  std::filesystem::path Path(const std::filesystem::path& name) const { return m_path / name; }

 private:
  static std::filesystem::path MakeFreshDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp");
    pattern += "/kxu_test_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    }
    return pattern;
  }

  std::filesystem::path m_path;
};

}  // namespace kxu::test
