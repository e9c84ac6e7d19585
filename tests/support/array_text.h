// Conversions between CZQVStringArray and std::vector<std::string> for tests,
// so that expectations read as lists of texts.
#pragma once

#include <kxutils96/strings/zqv_string_array.h>

#include <string>
#include <vector>

namespace kxu::test {

using Texts = std::vector<std::string>;

inline Texts TextsOf(const CZQVStringArray& array) {
  Texts texts;
  for (int i = 0; i < array.GetSize(); ++i)
    texts.emplace_back(array[i].GetString(), array[i].GetLength());
  return texts;
}

inline CZQVStringArray ArrayOf(const Texts& texts) {
  CZQVStringArray array;
  for (const std::string& text : texts)
    array.Add(CStringUTF8(text.data(), static_cast<int>(text.size())));
  return array;
}

}  // namespace kxu::test
