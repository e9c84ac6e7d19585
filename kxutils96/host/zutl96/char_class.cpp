// utlCharClass: one class number per byte, from a table built at compile time.
#include <array>
#include <string_view>

#include <kxutils96/host/zutl96/char_class.h>
#include <kxutils96/host/zutl96/detail/byte_kinds.h>

using namespace kxu::zutl96::detail;
using namespace kxu::zutl96;

namespace {

constexpr unsigned char kFirstMultiByte = 0x80;
constexpr unsigned char kDelete = 0x7F;
constexpr std::string_view kBreakAfter = " \t,;:.!?-/)]}";
constexpr std::string_view kLineEnds = "\n\v\f\r";
constexpr std::string_view kQuotes = "\"'";
constexpr std::string_view kOpenings = "([{<";

constexpr bool In(std::string_view set, unsigned char c) {
  return set.find(static_cast<char>(c)) != std::string_view::npos;
}

constexpr CharClass ClassOf(unsigned char c) {
  if (c >= kFirstMultiByte) return kCharMultiByte;
  if (IsAsciiLetter(c)) return kCharLetter;
  if (IsDigit(c)) return kCharDigit;
  if (In(kBreakAfter, c)) return kCharBreakAfter;
  if (In(kLineEnds, c)) return kCharLineEnd;
  if (In(kQuotes, c)) return kCharQuote;
  if (In(kOpenings, c)) return kCharOpening;
  if (c < ' ' || c == kDelete) return kCharControl;
  return kCharSymbol;
}

constexpr std::array<unsigned char, 256> MakeClassTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c)
    table[c] = static_cast<unsigned char>(ClassOf(static_cast<unsigned char>(c)));
  return table;
}

constexpr std::array<unsigned char, 256> kClassTable = MakeClassTable();

}  // namespace

int utlCharClass(int ch) {
  return kClassTable[ByteOf(ch)];
}
