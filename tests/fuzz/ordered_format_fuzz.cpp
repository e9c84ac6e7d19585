// The ordered formatter over arbitrary formats. The arguments come from a
// fixed table, ten of each kind, and are handed out by index with the type
// the sign's letter names, as a caller that matches the format would pass
// them. Checked on every input: no crash and no access outside a buffer;
// the letters asked for are the six sign letters; each index is read once,
// in order, and nothing at all on failure; a failure returns 0 and leaves an
// "ERROR: " text; a success returns 1 after reading 2 to 10 values.
#include <kxutils96/format/messages/ordered_format.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_require.h"

namespace {

constexpr std::array<int, 10> kInts = {0, 1, -1, 42, 2147483647, -2147483647 - 1, 7, 100, 9, 5};
constexpr std::array<const char*, 10> kTexts = {"",  "a", "\xC3\xA9", "{0}%s", "%%",
                                                "}", "{", "text",     "%d",    "\xF0\x9F\x98\x80"};
constexpr std::array<double, 10> kDoubles = {0.0,  0.5,  -1e300, 1e-300,      3.14159,
                                             -0.0, 1e21, 2.5,    123456789.0, 1.0 / 3.0};

// Reads value `nIndex`, which must be the next one: the context counts the reads.
kxu::format::OrderedValue ReadFromTable(void* pContext, int nIndex, char chLetter) {
  int& nReads = *static_cast<int*>(pContext);
  Require(nIndex == nReads && nIndex >= 0 && nIndex < 10);
  ++nReads;
  const auto i = static_cast<std::size_t>(nIndex);
  kxu::format::OrderedValue value{};
  if (chLetter == 'd') {
    value.n = kInts[i];
  } else if (chLetter == 's') {
    value.psz = kTexts[i];
  } else {
    Require(std::strchr("eEgG", chLetter) != nullptr);
    value.d = kDoubles[i];
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The format ends at its first NUL, as a C string does.
  const std::string format(reinterpret_cast<const char*>(data), size);
  int nReads = 0;
  CStringUTF8 result("before");
  const int nResult = kxuStringOrderedFormatFrom(result, format.c_str(), ReadFromTable, &nReads);
  const std::string_view text(result.GetString(), static_cast<std::size_t>(result.GetLength()));
  if (nResult == 0) {
    Require(nReads == 0);
    Require(text.substr(0, 7) == "ERROR: ");
  } else {
    Require(nResult == 1);
    Require(nReads >= 2 && nReads <= 10);
  }
  return 0;
}
