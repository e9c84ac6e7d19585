#include <kxutils96/host/zstrings96/zstrings96.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>

namespace {

std::string Std(const CStringUTF8& str) {
  EXPECT_EQ(str.GetString()[str.GetLength()], '\0') << "missing terminator";
  return std::string(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}

// "Grüße" in UTF-8: ü and ß take two bytes each.
constexpr const char* kGruesse =
    "Gr\xC3\xBC\xC3\x9F"
    "e";

TEST(CStringUTF8Test, PositionsAndLengthsCountBytes) {
  const CStringUTF8 s(kGruesse);
  EXPECT_EQ(s.GetLength(), 7);
  EXPECT_EQ(s.Find("e"), 6);
  EXPECT_EQ(s.Find("\xC3\x9F"), 4);
  EXPECT_EQ(s.Find('e'), 6);
  EXPECT_EQ(s.ReverseFind('\xC3'), 4);
  EXPECT_EQ(Std(s.Mid(2, 2)), "\xC3\xBC");
  EXPECT_EQ(Std(s.Left(3)), "Gr\xC3");  // a count may split a character; it is bytes
  EXPECT_EQ(Std(s.Right(1)), "e");
}

TEST(CStringUTF8Test, CaseChangesLeaveNonAsciiBytesAlone) {
  CStringUTF8 s(
      "gr\xC3\xBC\xC3\x9F"
      "e stra\xC3\x9F"
      "e \xC3\xA4");
  s.MakeUpper();
  EXPECT_EQ(Std(s),
            "GR\xC3\xBC\xC3\x9F"
            "E STRA\xC3\x9F"
            "E \xC3\xA4");
  CStringUTF8 t("\xC3\x84\xC3\x96\xC3\x9C ABC");
  t.MakeLower();
  EXPECT_EQ(Std(t), "\xC3\x84\xC3\x96\xC3\x9C abc");
}

TEST(CStringUTF8Test, TrimLeavesMultiByteSpacesAlone) {
  CStringUTF8 nbsp("\xC2\xA0x\xC2\xA0");
  nbsp.Trim();
  EXPECT_EQ(Std(nbsp), "\xC2\xA0x\xC2\xA0");
  CStringUTF8 ascii(" \tx\xC3\xA9\r\n");
  EXPECT_EQ(Std(ascii.Trim()), "x\xC3\xA9");
}

std::string Printf(const char* format, auto... args) {
  const int n = std::snprintf(nullptr, 0, format, args...);
  std::string text(static_cast<std::size_t>(n), '\0');
  std::snprintf(text.data(), text.size() + 1, format, args...);
  return text;
}

TEST(CStringUTF8Test, FormatIsPrintfExact) {
  CStringUTF8 s("old text that is replaced");
  s.Format("%s", kGruesse);
  EXPECT_EQ(Std(s), kGruesse);
  s.Format("%c", 'x');
  EXPECT_EQ(Std(s), "x");
  s.Format("%d", -42);
  EXPECT_EQ(Std(s), "-42");
  s.Format("%07d", 42);
  EXPECT_EQ(Std(s), "0000042");
  s.Format("%07d", -42);
  EXPECT_EQ(Std(s), "-000042");
  s.Format("[%s|%c|%d|%07d]", "a\xC3\xA9", 'z', 2147483647, 5);
  EXPECT_EQ(Std(s), "[a\xC3\xA9|z|2147483647|0000005]");
}

TEST(CStringUTF8Test, FormatProducesLongResults) {
  const std::string piece(1500, 'p');
  CStringUTF8 s;
  s.Format("%s|%07d|%s", piece.c_str(), 12, kGruesse);
  EXPECT_EQ(s.GetLength(), 1500 + 1 + 7 + 1 + 7);
  EXPECT_EQ(Std(s), Printf("%s|%07d|%s", piece.c_str(), 12, kGruesse));
  s.Format("%01200d", -3);
  EXPECT_EQ(Std(s), Printf("%01200d", -3));
}

TEST(CStringUTF8Test, FormatMayUseItsOwnText) {
  CStringUTF8 s(kGruesse);
  s.Format("%s, %s", s.GetString(), s.GetString());
  EXPECT_EQ(Std(s), std::string(kGruesse) + ", " + kGruesse);
}

TEST(CStringUTF8Test, ConcatenationAndComparisonForms) {
  const CStringUTF8 left("a\xC3\xA9");
  const CStringUTF8 right("b");
  const CStringUTF8 both = left + right;
  EXPECT_EQ(Std(both),
            "a\xC3\xA9"
            "b");
  EXPECT_EQ(Std(left + "c"),
            "a\xC3\xA9"
            "c");
  EXPECT_EQ(Std("z" + left), "za\xC3\xA9");
  EXPECT_TRUE(both ==
              "a\xC3\xA9"
              "b");
  EXPECT_FALSE(both !=
               "a\xC3\xA9"
               "b");
  EXPECT_TRUE(both != "a\xC3\xA9");
  EXPECT_TRUE(left != "A\xC3\xA9");
  EXPECT_EQ(Std(left), "a\xC3\xA9");  // the operands are unchanged
}

TEST(CStringUTF8Test, RepeatConstructor) {
  EXPECT_EQ(Std(CStringUTF8('x', 3)), "xxx");
  EXPECT_EQ(Std(CStringUTF8('x', 1)), "x");
  EXPECT_EQ(Std(CStringUTF8('x', 0)), "");
  EXPECT_EQ(Std(CStringUTF8('x', -4)), "");
}

TEST(CStringUTF8Test, AppendAndEditForms) {
  CStringUTF8 s;
  s.Append("ab");
  s.Append("cdef", 2);
  s.Append(CStringUTF8("e"));
  s += CStringUTF8("f");
  s += "g";
  s += 'h';
  s.AppendChar('i');
  EXPECT_EQ(Std(s), "abcdefghi");
  EXPECT_EQ(s.Insert(0, "\xC3\xA9"), 11);
  EXPECT_EQ(s.Delete(0, 2), 9);
  EXPECT_EQ(s.Replace("def", "\xE2\x82\xAC"), 1);
  EXPECT_EQ(Std(s),
            "abc\xE2\x82\xAC"
            "ghi");
  EXPECT_EQ(s.Remove('\x82'), 1);  // bytes, even inside a character
  EXPECT_EQ(s.GetLength(), 8);
}

static_assert(sizeof(CStringUTF8) == sizeof(void*));
static_assert(std::is_nothrow_move_constructible_v<CStringUTF8>);
// The narrow framework string stays out of reach, so UTF-8 text never passes
// silently where code-page text is expected.
static_assert(!std::is_convertible_v<CStringUTF8*, CStringA*>);
static_assert(!std::is_convertible_v<CStringUTF8, CStringA>);

TEST(CStringUTF8Test, StaysValidWhenMovedAsRawBytes) {
  alignas(CStringUTF8) unsigned char from[3][sizeof(CStringUTF8)];
  alignas(CStringUTF8) unsigned char to[3][sizeof(CStringUTF8)];
  new (from[0]) CStringUTF8(kGruesse);
  new (from[1]) CStringUTF8();
  new (from[2]) CStringUTF8('y', 40);
  std::memcpy(to, from, sizeof from);
  std::memset(from, 0xAB, sizeof from);

  auto moved = [&to](int i) -> CStringUTF8& {
    return *std::launder(reinterpret_cast<CStringUTF8*>(to[i]));
  };
  EXPECT_EQ(Std(moved(0)), kGruesse);
  EXPECT_EQ(Std(moved(1)), "");
  EXPECT_EQ(Std(moved(2)), std::string(40, 'y'));
  moved(1) += "filled after the move";
  moved(2).Append(moved(0));
  EXPECT_EQ(Std(moved(1)), "filled after the move");
  EXPECT_EQ(Std(moved(2)), std::string(40, 'y') + kGruesse);
  for (int i = 0; i < 3; ++i) moved(i).~CStringUTF8();
}

TEST(CStringUTF8Test, CopiesAreIndependent) {
  CStringUTF8 original(kGruesse);
  const CStringUTF8 copy = original;
  original.SetAt(0, 'g');
  original.MakeUpper();
  EXPECT_EQ(Std(copy), kGruesse);
  EXPECT_EQ(Std(original),
            "GR\xC3\xBC\xC3\x9F"
            "E");
}

}  // namespace
