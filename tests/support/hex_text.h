// Bytes and UTF-16 units spelled in hexadecimal ("C3 A9 ", "00E9 "), so that
// a failing comparison of encoded text shows what differs.
#pragma once

#include <cstdio>
#include <string>
#include <type_traits>

namespace kxu::test {

// Each unit as hexadecimal digits, two for a byte and four for a UTF-16
// unit, followed by a space.
template <class Text>
std::string Hex(const Text& text) {
  using Unit = typename Text::value_type;
  std::string out;
  for (const Unit unit : text) {
    char part[8];
    std::snprintf(part, sizeof part, "%0*X ", static_cast<int>(2 * sizeof(Unit)),
                  static_cast<unsigned>(static_cast<std::make_unsigned_t<Unit>>(unit)));
    out += part;
  }
  return out;
}

}  // namespace kxu::test
