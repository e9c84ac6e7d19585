// Conversions between the host's strings and arrays and standard ones for
// tests, so that expectations read as texts and lists of texts (NUL bytes
// included) and lists of integers.
#pragma once

#include <kxutils96/platform/framework/afx_coll.h>
#include <kxutils96/strings/zqv_string_array.h>

#include <string>
#include <string_view>
#include <vector>

namespace kxu::test {

using Texts = std::vector<std::string>;

inline std::string TextOf(const CStringUTF8& str) {
  return {str.GetString(), static_cast<std::size_t>(str.GetLength())};
}

inline CStringUTF8 StringOf(std::string_view text) {
  return CStringUTF8(text.data(), static_cast<int>(text.size()));
}

inline Texts TextsOf(const CZQVStringArray& array) {
  Texts texts;
  for (int i = 0; i < array.GetSize(); ++i) texts.push_back(TextOf(array[i]));
  return texts;
}

inline std::vector<int> IntsOf(const CArray<int, int>& array) {
  return std::vector<int>(array.GetData(), array.GetData() + array.GetSize());
}

// Each byte as the UTF-16 unit of the same value.
inline std::u16string Widened(std::string_view text) {
  std::u16string wide;
  for (const char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
  return wide;
}

inline CZQVStringArray ArrayOf(const Texts& texts) {
  CZQVStringArray array;
  for (const std::string& text : texts) array.Add(StringOf(text));
  return array;
}

}  // namespace kxu::test
