// Texts longer than an int counts, handed to every entry that narrows their
// length into one: each refuses the whole text with the outcome its contract
// names, never converting a part of it nor writing past a buffer sized from a
// cut length (the asan preset reports such a write; elsewhere it crashes).
// The texts cost address space, not memory, so they exist on 64-bit only.
#include <kxutils96/format/messages/detail/supplied_format.h>
#include <kxutils96/host/zutl96/text_search.h>
#include <kxutils96/kxutils96.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <span>
#include <string>
#include <string_view>

#include "support/caught_exception.h"
#include "support/huge_text.h"

namespace {

using kxu::test::HugeText;

// Past 4 GiB a bare cast keeps the low bits (4); past 2 GiB it is negative.
constexpr std::uint64_t kLengths[] = {(std::uint64_t{1} << 32) + 4, (std::uint64_t{1} << 31) + 4};

struct Crossing {
  const char* name;
  std::string_view pattern;  // what the text repeats
  std::function<void(const char*)> call;
  std::size_t nUnitBytes = 1;
  std::size_t nLengths = std::size(kLengths);  // the splits, slow to scan, take the first only
};

TEST(TextPastInt, EveryCrossingRaisesMemoryExceptionForTheWholeText) {
  if (sizeof(std::size_t) < sizeof(std::uint64_t)) GTEST_SKIP() << "needs 64-bit addresses";
  const auto wide = [](const char* p) { return reinterpret_cast<const WCHAR*>(p); };
  // Quotes are rare in the quoted texts: where they abound, splitting takes long.
  std::string quoted(std::size_t{1} << 20, 'a');
  std::string inner = quoted;
  quoted.front() = quoted.back() = '"';
  inner.replace(1, 2, "\"\"");
  // What the calls write to; a refusal leaves no part of the text in them.
  CZQVStringArray a;
  CString w;
  CStringUTF8 s;
  const Crossing crossings[] = {
      {"CSV field with quotes", inner, [&](const char* p) { kxutilsTokenizeOneCSVLine(p, &a); }, 1,
       1},
      {"quoted token", quoted,
       [&](const char* p) { kxutilsGetTokens(p, &a, ',', nullptr, kxu::tokens::kQuoteDouble, 0); },
       1, 1},
      {"piece", "a", [&](const char* p) { kxutilsSeparateByStr(p, &a, ";"); }},
      {"UTF-8", "a", [&](const char* p) { zqUTF8toUTF16(w, p, -1); }},
      {"code page", "a", [&](const char* p) { zqMBCStoUTF16(w, p, 1252, -1); }},
      {"double-byte page", "a", [&](const char* p) { zqMBCStoUTF8(s, p, 936); }},
      {"UTF-16", {"a\0", 2}, [&](const char* p) { zqUTF16toUTF8(s, wide(p), -1); }, 2},
      {"printf text", "a",
       [&](const char* p) {
         kxu::format::FormatSupplied(s, "%s", {{kxu::format::SuppliedValue::Text(p)}});
       }},
      {"text in place", "a",
       [](const char* p) { utlConvertTextInPlace(const_cast<char*>(p), -1); }},
  };
  for (const Crossing& crossing : crossings) {
    for (const std::uint64_t nUnits : std::span(kLengths).first(crossing.nLengths)) {
      SCOPED_TRACE(testing::Message() << crossing.name << ", units: " << nUnits);
      const HugeText text(crossing.pattern, static_cast<std::size_t>(nUnits * crossing.nUnitBytes));
      EXPECT_TRUE(kxu::test::Caught<CMemoryException>([&] { crossing.call(text.data()); }));
      EXPECT_TRUE(w.IsEmpty() && s.IsEmpty());
    }
  }
}

// Padding reads no further than the width: a text of any length is cut.
TEST(TextPastInt, PaddingCutsItToTheWidth) {
  if (sizeof(std::size_t) < sizeof(std::uint64_t)) GTEST_SKIP() << "needs 64-bit addresses";
  for (const std::uint64_t nBytes : kLengths) {
    const HugeText text("a", static_cast<std::size_t>(nBytes));
    EXPECT_STREQ(kxu_str_pad_char(text.data(), 8, kPadAlignLeft, '*'), "aaaaaaaa");
  }
}

}  // namespace
