// Bytes and UTF-16 units spelled in hexadecimal ("C3 A9 ", "00E9 "), so that
// a failing comparison of encoded text shows what differs.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include <kxutils96/platform/win32/win_types.h>

namespace kxu::test {

inline std::string Hex(std::string_view bytes) {
  std::string out;
  for (const char byte : bytes) {
    char part[4];
    std::snprintf(part, sizeof part, "%02X ", static_cast<unsigned char>(byte));
    out += part;
  }
  return out;
}

inline std::string Hex(std::basic_string_view<WCHAR> units) {
  std::string out;
  for (const WCHAR unit : units) {
    char part[6];
    std::snprintf(part, sizeof part, "%04X ", static_cast<unsigned>(unit));
    out += part;
  }
  return out;
}

}  // namespace kxu::test
