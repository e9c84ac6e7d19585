// Paths to and from UTF-8 text, the encoding the library takes paths in.
// std::filesystem::path's own conversions from and to std::string use the
// system's narrow encoding, which is not UTF-8 on every system.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kxu::test {

inline std::filesystem::path PathOfUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// As Utf8, with '/' between the names whatever the system's separator.
inline std::string GenericUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace kxu::test
