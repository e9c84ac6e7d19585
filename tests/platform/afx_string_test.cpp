#include <kxutils96/platform/framework/afx_string.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <new>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include <kxutils96/platform/framework/afx_exception.h>

#include "support/caught_exception.h"

namespace {

// Checks that `action` raises an exception of class `Expected`; the caught
// exception is released on return.
template <class Expected, class Action>
void ExpectRaises(Action&& action) {
  EXPECT_TRUE(kxu::test::Caught<Expected>(std::forward<Action>(action)));
}

template <class Char>
std::basic_string<Char> Units(std::string_view bytes) {
  std::basic_string<Char> units;
  for (const char byte : bytes)
    units.push_back(static_cast<Char>(static_cast<unsigned char>(byte)));
  return units;
}

template <class Char>
CStringT<Char> Make(std::string_view bytes) {
  const std::basic_string<Char> units = Units<Char>(bytes);
  return CStringT<Char>(units.data(), static_cast<int>(units.size()));
}

// The units of `str` as bytes (wide units above 0xFF shown as \u{...}), after
// checking that the terminator sits right after the last unit.
template <class Char>
std::string Text(const CStringT<Char>& str) {
  EXPECT_EQ(str.GetString()[str.GetLength()], Char{}) << "missing terminator";
  std::string bytes;
  for (int i = 0; i < str.GetLength(); ++i) {
    const auto unit = static_cast<unsigned>(static_cast<std::make_unsigned_t<Char>>(str[i]));
    if (unit <= 0xFF) {
      bytes.push_back(static_cast<char>(unit));
    } else {
      char escaped[16];
      std::snprintf(escaped, sizeof escaped, "\\u{%X}", unit);
      bytes += escaped;
    }
  }
  return bytes;
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}

template <class Char>
class CStringTTest : public ::testing::Test {
 protected:
  using Str = CStringT<Char>;
  static Str S(std::string_view bytes) { return Make<Char>(bytes); }
  // A NUL-terminated copy of `bytes` in this unit type, kept alive by the fixture.
  const Char* P(std::string_view bytes) { return held_.emplace_back(Units<Char>(bytes)).c_str(); }

 private:
  std::deque<std::basic_string<Char>> held_;  // a deque never moves its elements
};

using UnitTypes = ::testing::Types<char, WCHAR>;
TYPED_TEST_SUITE(CStringTTest, UnitTypes);

// ---- construction ----------------------------------------------------------

TYPED_TEST(CStringTTest, DefaultAndNullConstructionGiveTheSharedEmptyString) {
  using Str = typename TestFixture::Str;
  const Str a;
  const Str b(static_cast<const TypeParam*>(nullptr));
  const Str c(this->P(""));
  for (const Str* s : {&a, &b, &c}) {
    EXPECT_EQ(s->GetLength(), 0);
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_EQ(s->GetAllocLength(), 0);
    EXPECT_EQ(s->GetString(), a.GetString());
    EXPECT_EQ(Text(*s), "");
  }
}

TYPED_TEST(CStringTTest, ConstructsFromTextAndCountedUnits) {
  using Str = typename TestFixture::Str;
  EXPECT_EQ(Text(Str(this->P("hello"))), "hello");
  EXPECT_EQ(Text(Str(this->P("hello"), 3)), "hel");
  EXPECT_EQ(Text(Str(static_cast<const TypeParam*>(nullptr), 0)), "");

  const Str withNul(this->P(std::string_view("ab\0cd", 5)), 5);
  EXPECT_EQ(withNul.GetLength(), 5);
  EXPECT_EQ(Text(withNul), std::string_view("ab\0cd", 5));
  EXPECT_EQ(Text(Str(withNul)), std::string_view("ab\0cd", 5));
}

TYPED_TEST(CStringTTest, RepeatConstructor) {
  using Str = typename TestFixture::Str;
  const struct {
    int nRepeat;
    std::string expected;
  } rows[] = {{INT_MIN, ""}, {-1, ""}, {0, ""}, {1, "x"}, {5, "xxxxx"}};
  for (const auto& row : rows) {
    EXPECT_EQ(Text(Str(TypeParam('x'), row.nRepeat)), row.expected) << row.nRepeat;
  }
  EXPECT_EQ(Str(TypeParam('x'), 300).GetLength(), 300);
}

TYPED_TEST(CStringTTest, BadCountedRangesRaiseInvalidArg) {
  using Str = typename TestFixture::Str;
  const TypeParam* text = this->P("abc");
  ExpectRaises<CInvalidArgException>([&] { Str s(text, -1); });
  ExpectRaises<CInvalidArgException>([&] { Str s(static_cast<const TypeParam*>(nullptr), 2); });
  Str s = this->S("abc");
  ExpectRaises<CInvalidArgException>([&] { s.Append(text, -1); });
  ExpectRaises<CInvalidArgException>([&] { s.Append(static_cast<const TypeParam*>(nullptr), 1); });
  EXPECT_EQ(Text(s), "abc");
}

// ---- copies and moves ------------------------------------------------------

TYPED_TEST(CStringTTest, CopiesAreIndependent) {
  using Str = typename TestFixture::Str;
  Str original = this->S("abc");
  Str copy(original);
  Str assigned;
  assigned = original;
  original.SetAt(0, 'X');
  original.Append(this->P("def"));
  EXPECT_EQ(Text(original), "Xbcdef");
  EXPECT_EQ(Text(copy), "abc");
  EXPECT_EQ(Text(assigned), "abc");
  EXPECT_NE(copy.GetString(), assigned.GetString());
}

TYPED_TEST(CStringTTest, MovesLeaveTheSourceEmptyAndUsable) {
  using Str = typename TestFixture::Str;
  Str source = this->S("abc");
  const TypeParam* buffer = source.GetString();
  Str moved(std::move(source));
  EXPECT_EQ(moved.GetString(), buffer);
  EXPECT_EQ(Text(source), "");  // NOLINT(bugprone-use-after-move): moved-from state is specified
  source.Append(this->P("again"));
  EXPECT_EQ(Text(source), "again");

  Str target = this->S("old");
  target = std::move(moved);
  EXPECT_EQ(Text(target), "abc");
  EXPECT_EQ(Text(moved), "");  // NOLINT(bugprone-use-after-move)
}

TYPED_TEST(CStringTTest, SelfAssignmentKeepsTheText) {
  using Str = typename TestFixture::Str;
  Str s = this->S("abc");
  const Str& alias = s;
  s = alias;
  EXPECT_EQ(Text(s), "abc");
  Str& same = s;
  s = std::move(same);
  EXPECT_EQ(Text(s), "abc");
}

TYPED_TEST(CStringTTest, AssignsTextAndSingleUnits) {
  using Str = typename TestFixture::Str;
  Str s = this->S("a long enough text");
  s = this->P("short");
  EXPECT_EQ(Text(s), "short");
  s = static_cast<const TypeParam*>(nullptr);
  EXPECT_EQ(Text(s), "");
  s = TypeParam('q');
  EXPECT_EQ(Text(s), "q");
}

// ---- single units ------------------------------------------------------------

TYPED_TEST(CStringTTest, GetAtAllowsTheTerminatorOnly) {
  using Str = typename TestFixture::Str;
  const Str s = this->S("ab");
  EXPECT_EQ(s.GetAt(0), TypeParam('a'));
  EXPECT_EQ(s[1], TypeParam('b'));
  EXPECT_EQ(s.GetAt(2), TypeParam(0));
  EXPECT_EQ(Str().GetAt(0), TypeParam(0));
  for (const int bad : {-1, 3, INT_MAX, INT_MIN}) {
    ExpectRaises<CInvalidArgException>([&] { (void)s.GetAt(bad); });
  }
}

TYPED_TEST(CStringTTest, SetAtRejectsTheTerminatorAndBeyond) {
  using Str = typename TestFixture::Str;
  Str s = this->S("ab");
  s.SetAt(1, 'z');
  EXPECT_EQ(Text(s), "az");
  for (const int bad : {-1, 2, 3}) {
    ExpectRaises<CInvalidArgException>([&] { s.SetAt(bad, 'q'); });
  }
  Str empty;
  ExpectRaises<CInvalidArgException>([&] { empty.SetAt(0, 'q'); });
  EXPECT_EQ(Text(s), "az");
  EXPECT_EQ(Text(empty), "");
}

// ---- pieces ----------------------------------------------------------------

TYPED_TEST(CStringTTest, PiecesClipPositionsAndCounts) {
  using Str = typename TestFixture::Str;
  const Str s = this->S("abcdef");
  const struct {
    const char* what;
    std::function<Str()> piece;
    std::string expected;
  } rows[] = {
      {"Left(-1)", [&] { return s.Left(-1); }, ""},
      {"Left(0)", [&] { return s.Left(0); }, ""},
      {"Left(3)", [&] { return s.Left(3); }, "abc"},
      {"Left(6)", [&] { return s.Left(6); }, "abcdef"},
      {"Left(7)", [&] { return s.Left(7); }, "abcdef"},
      {"Left(INT_MAX)", [&] { return s.Left(INT_MAX); }, "abcdef"},
      {"Right(-5)", [&] { return s.Right(-5); }, ""},
      {"Right(0)", [&] { return s.Right(0); }, ""},
      {"Right(2)", [&] { return s.Right(2); }, "ef"},
      {"Right(6)", [&] { return s.Right(6); }, "abcdef"},
      {"Right(INT_MAX)", [&] { return s.Right(INT_MAX); }, "abcdef"},
      {"Mid(INT_MIN)", [&] { return s.Mid(INT_MIN); }, "abcdef"},
      {"Mid(-3)", [&] { return s.Mid(-3); }, "abcdef"},
      {"Mid(2)", [&] { return s.Mid(2); }, "cdef"},
      {"Mid(5)", [&] { return s.Mid(5); }, "f"},
      {"Mid(6)", [&] { return s.Mid(6); }, ""},
      {"Mid(7)", [&] { return s.Mid(7); }, ""},
      {"Mid(INT_MAX)", [&] { return s.Mid(INT_MAX); }, ""},
      {"Mid(1,2)", [&] { return s.Mid(1, 2); }, "bc"},
      {"Mid(-2,3)", [&] { return s.Mid(-2, 3); }, "abc"},
      {"Mid(4,10)", [&] { return s.Mid(4, 10); }, "ef"},
      {"Mid(2,-1)", [&] { return s.Mid(2, -1); }, ""},
      {"Mid(6,1)", [&] { return s.Mid(6, 1); }, ""},
      {"Mid(5,INT_MAX)", [&] { return s.Mid(5, INT_MAX); }, "f"},
      {"Mid(INT_MAX,INT_MAX)", [&] { return s.Mid(INT_MAX, INT_MAX); }, ""},
      {"Mid(INT_MIN,2)", [&] { return s.Mid(INT_MIN, 2); }, "ab"},
  };
  for (const auto& row : rows) EXPECT_EQ(Text(row.piece()), row.expected) << row.what;
  EXPECT_EQ(Text(s), "abcdef");
}

// ---- editing ---------------------------------------------------------------

TYPED_TEST(CStringTTest, DeleteClipsPositionAndCount) {
  const struct {
    int i;
    int nCount;
    std::string expected;
  } rows[] = {
      {0, 1, "bcdef"},        {5, 1, "abcde"},       {6, 1, "abcdef"},  {2, 100, "ab"},
      {-3, 2, "cdef"},        {2, 0, "abcdef"},      {2, -1, "abcdef"}, {1, INT_MAX, "a"},
      {INT_MAX, 1, "abcdef"}, {INT_MIN, 1, "bcdef"}, {0, 6, ""},
  };
  for (const auto& row : rows) {
    auto s = this->S("abcdef");
    EXPECT_EQ(s.Delete(row.i, row.nCount), static_cast<int>(row.expected.size()))
        << row.i << "," << row.nCount;
    EXPECT_EQ(Text(s), row.expected) << row.i << "," << row.nCount;
  }
  typename TestFixture::Str empty;
  EXPECT_EQ(empty.Delete(0, 1), 0);
  EXPECT_EQ(Text(empty), "");
}

TYPED_TEST(CStringTTest, InsertClipsThePosition) {
  const struct {
    int i;
    const char* text;  // null for a null pointer
    std::string expected;
  } rows[] = {
      {0, "XY", "XYabc"},  {1, "XY", "aXYbc"},       {3, "XY", "abcXY"}, {-5, "XY", "XYabc"},
      {99, "XY", "abcXY"}, {INT_MIN, "XY", "XYabc"}, {1, "", "abc"},     {1, nullptr, "abc"},
  };
  for (const auto& row : rows) {
    auto s = this->S("abc");
    const TypeParam* text = row.text ? this->P(row.text) : nullptr;
    EXPECT_EQ(s.Insert(row.i, text), static_cast<int>(row.expected.size())) << row.i;
    EXPECT_EQ(Text(s), row.expected) << row.i;
  }
  const struct {
    int i;
    std::string expected;
  } unitRows[] = {{0, "Zabc"}, {1, "aZbc"}, {3, "abcZ"}, {-1, "Zabc"}, {4, "abcZ"}};
  for (const auto& row : unitRows) {
    auto s = this->S("abc");
    EXPECT_EQ(s.Insert(row.i, TypeParam('Z')), 4);
    EXPECT_EQ(Text(s), row.expected) << row.i;
  }
  typename TestFixture::Str empty;
  EXPECT_EQ(empty.Insert(5, TypeParam('x')), 1);
  EXPECT_EQ(Text(empty), "x");
}

TYPED_TEST(CStringTTest, InsertMovesTheTailAcrossGrowth) {
  auto s = this->S("0123456789");
  for (int round = 0; round < 50; ++round) s.Insert(5, this->P("ab"));
  std::string expected = "01234";
  for (int round = 0; round < 50; ++round) expected += "ab";
  expected += "56789";
  EXPECT_EQ(Text(s), expected);
}

TYPED_TEST(CStringTTest, ReplaceText) {
  const struct {
    const char* text;
    const char* oldText;  // null for a null pointer
    const char* newText;  // null for a null pointer
    std::string expected;
    int nCount;
  } rows[] = {
      {"aaaa", "aa", "b", "bb", 2},  // left to right, no overlap
      {"aaa", "aa", "b", "ba", 1},
      {"abcabc", "bc", "", "aa", 2},
      {"abcabc", "bc", nullptr, "aa", 2},
      {"abc", "", "x", "abc", 0},
      {"abc", nullptr, "x", "abc", 0},
      {"abc", "abc", "", "", 1},
      {"abab", "ab", "abab", "abababab", 2},  // the new text holds the old one
      {"xax", "a", "aa", "xaax", 1},
      {"abc", "d", "e", "abc", 0},
      {"", "a", "b", "", 0},
      {"aXbXc", "X", "YYY", "aYYYbYYYc", 2},
      {"XaX", "X", "YY", "YYaYY", 2},
      {"aXXbXX", "XX", "Y", "aYbY", 2},
      {"XXaXX", "XX", "", "a", 2},
      {"abc", "abc", "xyz", "xyz", 1},
      {"abcd", "abcde", "x", "abcd", 0},
      {"aaa", "a", "a", "aaa", 3},
  };
  for (const auto& row : rows) {
    auto s = this->S(row.text);
    const TypeParam* oldText = row.oldText ? this->P(row.oldText) : nullptr;
    const TypeParam* newText = row.newText ? this->P(row.newText) : nullptr;
    const char* describe = row.oldText ? row.oldText : "(null)";
    EXPECT_EQ(s.Replace(oldText, newText), row.nCount) << row.text << " / " << describe;
    EXPECT_EQ(Text(s), row.expected) << row.text << " / " << describe;
  }
}

TYPED_TEST(CStringTTest, ReplaceGrowsAndShrinksLongText) {
  auto s = typename TestFixture::Str(TypeParam('a'), 1000);
  EXPECT_EQ(s.Replace(this->P("a"), this->P("bc")), 1000);
  std::string expected;
  for (int i = 0; i < 1000; ++i) expected += "bc";
  EXPECT_EQ(Text(s), expected);
  EXPECT_EQ(s.Replace(this->P("cb"), this->P("")), 999);
  EXPECT_EQ(Text(s), "bc");
}

TYPED_TEST(CStringTTest, ReplaceUnits) {
  auto s = this->S("banana");
  EXPECT_EQ(s.Replace(TypeParam('a'), TypeParam('o')), 3);
  EXPECT_EQ(Text(s), "bonono");
  EXPECT_EQ(s.Replace(TypeParam('z'), TypeParam('y')), 0);
  EXPECT_EQ(s.Replace(TypeParam('o'), TypeParam('o')), 3);
  EXPECT_EQ(Text(s), "bonono");
  typename TestFixture::Str empty;
  EXPECT_EQ(empty.Replace(TypeParam('a'), TypeParam('b')), 0);
}

TYPED_TEST(CStringTTest, RemoveDropsEveryMatchingUnit) {
  const struct {
    const char* text;
    char ch;
    std::string expected;
    int nRemoved;
  } rows[] = {
      {"banana", 'a', "bnn", 3}, {"banana", 'z', "banana", 0}, {"aaa", 'a', "", 3},
      {"", 'a', "", 0},          {"abca", 'a', "bc", 2},
  };
  for (const auto& row : rows) {
    auto s = this->S(row.text);
    EXPECT_EQ(s.Remove(TypeParam(row.ch)), row.nRemoved) << row.text;
    EXPECT_EQ(Text(s), row.expected) << row.text;
  }
}

TYPED_TEST(CStringTTest, TrimFamily) {
  using Str = typename TestFixture::Str;
  const struct {
    const char* what;
    std::string text;
    std::function<void(Str&)> trim;
    std::string expected;
  } rows[] = {
      {"Trim", " \t\r\n\v\fabc \t", [](Str& s) { s.Trim(); }, "abc"},
      {"Trim blank", "   ", [](Str& s) { s.Trim(); }, ""},
      {"Trim empty", "", [](Str& s) { s.Trim(); }, ""},
      {"Trim inner", " a b ", [](Str& s) { s.Trim(); }, "a b"},
      {"Trim none", "abc", [](Str& s) { s.Trim(); }, "abc"},
      {"Trim not space",
       "\x1f"
       "a\x0e",
       [](Str& s) { s.Trim(); },
       "\x1f"
       "a\x0e"},
      {"TrimLeft", "  a  ", [](Str& s) { s.TrimLeft(); }, "a  "},
      {"TrimRight", "  a  ", [](Str& s) { s.TrimRight(); }, "  a"},
      {"Trim(x)", "xxaxbxx", [](Str& s) { s.Trim('x'); }, "axb"},
      {"Trim(x) all", "xxxx", [](Str& s) { s.Trim('x'); }, ""},
      {"TrimLeft(x)", "xxaxx", [](Str& s) { s.TrimLeft('x'); }, "axx"},
      {"TrimRight(x)", "xxaxx", [](Str& s) { s.TrimRight('x'); }, "xxa"},
      {"Trim(x) spaces kept", " xa ", [](Str& s) { s.Trim('x'); }, " xa "},
      {"Trim high unit kept",
       "\xA0"
       "a\xA0",
       [](Str& s) { s.Trim(); },
       "\xA0"
       "a\xA0"},
  };
  for (const auto& row : rows) {
    Str s = this->S(row.text);
    row.trim(s);
    EXPECT_EQ(Text(s), row.expected) << row.what;
  }
}

TYPED_TEST(CStringTTest, CaseChangesAsciiLettersOnly) {
  // '@', '[', '`' and '{' sit next to the letter ranges; 0xE4 and 0xC4 are
  // letters in Latin-1 and must not change.
  auto s = this->S("aBc1zZ@[`{\xE4\xC4");
  EXPECT_EQ(Text(s.MakeUpper()), "ABC1ZZ@[`{\xE4\xC4");
  EXPECT_EQ(Text(s.MakeLower()), "abc1zz@[`{\xE4\xC4");
  typename TestFixture::Str empty;
  EXPECT_EQ(Text(empty.MakeUpper().MakeLower()), "");
}

TYPED_TEST(CStringTTest, MakeReverse) {
  EXPECT_EQ(Text(this->S("abc").MakeReverse()), "cba");
  EXPECT_EQ(Text(this->S("ab").MakeReverse()), "ba");
  EXPECT_EQ(Text(this->S("a").MakeReverse()), "a");
  EXPECT_EQ(Text(this->S("").MakeReverse()), "");
}

// ---- searching -------------------------------------------------------------

TYPED_TEST(CStringTTest, FindUnit) {
  const auto s = this->S("abcabc");
  const struct {
    char ch;
    int iStart;
    int expected;
  } rows[] = {
      {'a', 0, 0},  {'b', 0, 1},   {'b', 2, 4},  {'c', 5, 5},        {'b', 5, -1},
      {'a', 6, -1}, {'a', -1, -1}, {'z', 0, -1}, {'a', INT_MAX, -1}, {'a', INT_MIN, -1},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(s.Find(TypeParam(row.ch), row.iStart), row.expected) << row.ch << "@" << row.iStart;
  }
  EXPECT_EQ(typename TestFixture::Str().Find(TypeParam('a')), -1);
}

TYPED_TEST(CStringTTest, FindText) {
  const auto s = this->S("abcabc");
  const struct {
    const char* sub;  // null for a null pointer
    int iStart;
    int expected;
  } rows[] = {
      {"bc", 0, 1},     {"bc", 2, 4},  {"abc", 3, 3}, {"abc", 4, -1},  {"c", 6, -1},
      {"", 0, 0},       {"", 6, 6},    {"", 7, -1},   {"", -1, -1},    {"abcabcd", 0, -1},
      {"abcabc", 0, 0}, {"bca", 0, 1}, {"x", 0, -1},  {nullptr, 2, 2}, {"bc", INT_MAX, -1},
  };
  for (const auto& row : rows) {
    const TypeParam* sub = row.sub ? this->P(row.sub) : nullptr;
    EXPECT_EQ(s.Find(sub, row.iStart), row.expected)
        << (row.sub ? row.sub : "(null)") << "@" << row.iStart;
  }
}

TYPED_TEST(CStringTTest, FindAgreesWithTheStandardStringOnRandomText) {
  // Texts over {a, b} are full of near misses; the standard string's find
  // serves as the reference.
  std::mt19937 random(5);
  std::uniform_int_distribution<int> unit(0, 1);
  for (int round = 0; round < 300; ++round) {
    const auto length = std::uniform_int_distribution<int>(0, 3000)(random);
    std::string text(static_cast<std::size_t>(length), 'a');
    for (char& ch : text) ch = unit(random) ? 'a' : 'b';
    std::string sub(std::uniform_int_distribution<std::size_t>(0, 12)(random), 'a');
    for (char& ch : sub) ch = unit(random) ? 'a' : 'b';
    const int iStart = std::uniform_int_distribution<int>(-1, length + 1)(random);

    const auto s = this->S(text);
    const std::size_t at = iStart < 0 ? std::string::npos : text.find(sub, std::size_t(iStart));
    const int expected = at == std::string::npos ? -1 : static_cast<int>(at);
    ASSERT_EQ(s.Find(this->P(sub), iStart), expected) << text << " / " << sub << " @" << iStart;
  }
}

TYPED_TEST(CStringTTest, FindSeesPastEmbeddedNuls) {
  const auto s = this->S(std::string_view("ab\0cd\0", 6));
  EXPECT_EQ(s.Find(TypeParam('c')), 3);
  EXPECT_EQ(s.Find(this->P("cd")), 3);
  EXPECT_EQ(s.ReverseFind(TypeParam('b')), 1);
}

TYPED_TEST(CStringTTest, ReverseFindAndFindOneOf) {
  const auto s = this->S("abcabc");
  EXPECT_EQ(s.ReverseFind(TypeParam('c')), 5);
  EXPECT_EQ(s.ReverseFind(TypeParam('a')), 3);
  EXPECT_EQ(s.ReverseFind(TypeParam('z')), -1);
  EXPECT_EQ(typename TestFixture::Str().ReverseFind(TypeParam('a')), -1);

  EXPECT_EQ(s.FindOneOf(this->P("xc")), 2);
  EXPECT_EQ(s.FindOneOf(this->P("cb")), 1);
  EXPECT_EQ(s.FindOneOf(this->P("zy")), -1);
  EXPECT_EQ(s.FindOneOf(this->P("")), -1);
  EXPECT_EQ(s.FindOneOf(nullptr), -1);
}

// ---- comparing -------------------------------------------------------------

TYPED_TEST(CStringTTest, CompareOrdersUnitsAsUnsignedValues) {
  const struct {
    const char* lhs;
    const char* rhs;  // null for a null pointer
    int sign;
    int signNoCase;
  } rows[] = {
      {"abc", "abc", 0, 0}, {"abc", "abd", -1, -1}, {"ab", "abc", -1, -1},
      {"abc", "ab", 1, 1},  {"", nullptr, 0, 0},    {"a", nullptr, 1, 1},
      {"", "", 0, 0},       {"ABC", "abc", -1, 0},  {"abc", "ABD", 1, -1},
      {"\x80", "a", 1, 1},  {"a", "\xFF", -1, -1},  {"\xC4", "\xE4", -1, -1},
      {"[", "a", -1, -1},   {"[", "A", 1, -1},      {"Z", "a", -1, 1},
  };
  for (const auto& row : rows) {
    const auto lhs = this->S(row.lhs);
    const TypeParam* rhs = row.rhs ? this->P(row.rhs) : nullptr;
    const char* describe = row.rhs ? row.rhs : "(null)";
    EXPECT_EQ(Sign(lhs.Compare(rhs)), row.sign) << row.lhs << " vs " << describe;
    EXPECT_EQ(Sign(lhs.CompareNoCase(rhs)), row.signNoCase) << row.lhs << " vs " << describe;
  }
}

TYPED_TEST(CStringTTest, CompareStopsAtTheFirstNulButEqualityCountsUnits) {
  using Str = typename TestFixture::Str;
  const Str withNul = this->S(std::string_view("ab\0c", 4));
  const Str plain = this->S("ab");
  EXPECT_EQ(withNul.Compare(plain), 0);
  EXPECT_FALSE(withNul == plain);
  EXPECT_TRUE(plain == this->S("ab"));
  EXPECT_TRUE(plain == this->P("ab"));
  EXPECT_TRUE(plain != this->P("abc"));
  EXPECT_TRUE(this->S("ab") < this->S("b"));
  EXPECT_FALSE(this->S("b") < this->S("ab"));
}

// ---- appending and growth ----------------------------------------------------

TYPED_TEST(CStringTTest, AppendForms) {
  using Str = typename TestFixture::Str;
  Str s;
  s.Append(this->P("ab"));
  s.Append(this->P("cdef"), 2);
  s.Append(this->S("e"));
  s.AppendChar('f');
  s += this->S("g");
  s += this->P("h");
  s += TypeParam('i');
  s.Append(static_cast<const TypeParam*>(nullptr));
  s.Append(this->P("zzz"), 0);
  EXPECT_EQ(Text(s), "abcdefghi");
}

TYPED_TEST(CStringTTest, AppendingGrowsGeometrically) {
  typename TestFixture::Str s;
  std::string expected;
  std::set<int> rooms;
  for (int i = 0; i < 100000; ++i) {
    const char ch = static_cast<char>('a' + i % 26);
    s.AppendChar(TypeParam(ch));
    expected.push_back(ch);
    rooms.insert(s.GetAllocLength());
    ASSERT_GE(s.GetAllocLength(), s.GetLength());
  }
  EXPECT_EQ(Text(s), expected);
  // 1.5x steps reach 100000 in about 30 resizes; exact growth would need 100000.
  EXPECT_LT(rooms.size(), 40u);
}

TYPED_TEST(CStringTTest, ConcatenationForms) {
  using Str = typename TestFixture::Str;
  const Str ab = this->S("ab");
  EXPECT_EQ(Text(ab + this->S("cd")), "abcd");
  EXPECT_EQ(Text(ab + this->P("cd")), "abcd");
  EXPECT_EQ(Text(this->P("cd") + ab), "cdab");
  EXPECT_EQ(Text(ab + TypeParam('c')), "abc");
  EXPECT_EQ(Text(ab + static_cast<const TypeParam*>(nullptr)), "ab");
  EXPECT_EQ(Text(static_cast<const TypeParam*>(nullptr) + ab), "ab");
  EXPECT_EQ(Text(Str() + Str()), "");
  EXPECT_EQ(Text(ab + ab), "abab");
  EXPECT_EQ(Text(ab), "ab");
}

// ---- buffer access ---------------------------------------------------------

TYPED_TEST(CStringTTest, GetBufferThenReleaseAtTheNul) {
  auto s = this->S("abc");
  TypeParam* buffer = s.GetBuffer(10);
  EXPECT_GE(s.GetAllocLength(), 10);
  EXPECT_EQ(Text(typename TestFixture::Str(buffer)), "abc");
  const auto hello = Units<TypeParam>("hello");
  std::copy(hello.c_str(), hello.c_str() + hello.size() + 1, buffer);
  s.ReleaseBuffer();
  EXPECT_EQ(Text(s), "hello");
}

TYPED_TEST(CStringTTest, ReleaseBufferWithAnExplicitLength) {
  auto s = this->S("abc");
  TypeParam* buffer = s.GetBuffer(11);
  const auto text = Units<TypeParam>("hello world");
  std::copy(text.begin(), text.end(), buffer);
  s.ReleaseBuffer(3);
  EXPECT_EQ(Text(s), "hel");
  // A length past the room is cut to the room.
  buffer = s.GetBuffer();
  const int nRoom = s.GetAllocLength();
  std::fill(buffer, buffer + nRoom, TypeParam('r'));
  s.ReleaseBuffer(nRoom + 5);
  EXPECT_EQ(Text(s), std::string(static_cast<std::size_t>(nRoom), 'r'));
}

TYPED_TEST(CStringTTest, GetBufferOnAnEmptyStringIsWritable) {
  typename TestFixture::Str s;
  TypeParam* buffer = s.GetBuffer();
  EXPECT_GT(s.GetAllocLength(), 0);
  EXPECT_NE(buffer, typename TestFixture::Str().GetString());
  buffer[0] = 'x';
  buffer[1] = 0;
  s.ReleaseBuffer();
  EXPECT_EQ(Text(s), "x");

  typename TestFixture::Str untouched;
  untouched.ReleaseBuffer();
  untouched.ReleaseBuffer(3);
  EXPECT_EQ(Text(untouched), "");
}

TYPED_TEST(CStringTTest, GetBufferSetLength) {
  auto s = this->S("abcdef");
  EXPECT_NE(s.GetBufferSetLength(2), nullptr);
  EXPECT_EQ(Text(s), "ab");
  TypeParam* buffer = s.GetBufferSetLength(4);
  EXPECT_EQ(s.GetLength(), 4);
  buffer[2] = 'y';
  buffer[3] = 'z';
  s.ReleaseBuffer();
  EXPECT_EQ(Text(s), "abyz");
}

TYPED_TEST(CStringTTest, PreallocateKeepsTheBlockWhileAppending) {
  auto s = this->S("ab");
  s.Preallocate(200);
  EXPECT_GE(s.GetAllocLength(), 200);
  EXPECT_EQ(Text(s), "ab");
  const TypeParam* block = s.GetString();
  for (int i = 0; i < 198; ++i) s.AppendChar('c');
  EXPECT_EQ(s.GetString(), block);
  EXPECT_EQ(s.GetLength(), 200);
}

TYPED_TEST(CStringTTest, NegativeBufferSizesRaiseInvalidArg) {
  auto s = this->S("abc");
  ExpectRaises<CInvalidArgException>([&] { s.GetBuffer(-1); });
  ExpectRaises<CInvalidArgException>([&] { s.GetBufferSetLength(-1); });
  ExpectRaises<CInvalidArgException>([&] { s.Preallocate(-1); });
  ExpectRaises<CInvalidArgException>([&] { s.ReleaseBuffer(-2); });
  EXPECT_EQ(Text(s), "abc");
}

TYPED_TEST(CStringTTest, EmptyReleasesTheBlock) {
  auto s = this->S("abc");
  s.Empty();
  EXPECT_EQ(Text(s), "");
  EXPECT_EQ(s.GetAllocLength(), 0);
  s.Append(this->P("x"));
  EXPECT_EQ(Text(s), "x");
}

// ---- text taken from the string itself -------------------------------------

TYPED_TEST(CStringTTest, OperationsAcceptTextFromTheirOwnBuffer) {
  using Str = typename TestFixture::Str;
  const struct {
    const char* what;
    std::function<void(Str&)> change;
    std::string expected;
  } rows[] = {
      {"Append(self)", [](Str& s) { s.Append(s); }, "abcabc"},
      {"+= self", [](Str& s) { s += s; }, "abcabc"},
      {"Append(tail)", [](Str& s) { s.Append(s.GetString() + 1); }, "abcbc"},
      {"Append(head, 2)", [](Str& s) { s.Append(s.GetString(), 2); }, "abcab"},
      {"= tail", [](Str& s) { s = s.GetString() + 2; }, "c"},
      {"= self text", [](Str& s) { s = s.GetString(); }, "abc"},
      {"Insert(1, self)", [](Str& s) { s.Insert(1, s.GetString()); }, "aabcbc"},
      {"Insert(0, tail)", [](Str& s) { s.Insert(0, s.GetString() + 1); }, "bcabc"},
      {"Insert(3, head)", [](Str& s) { s.Insert(3, s.GetString()); }, "abcabc"},
      {"Replace(self, x)", [](Str& s) { s.Replace(s.GetString(), Units<TypeParam>("x").c_str()); },
       "x"},
      {"Replace(c, self)", [](Str& s) { s.Replace(s.GetString() + 2, s.GetString()); }, "ababc"},
      {"Replace(bc, tail)", [](Str& s) { s.Replace(s.GetString() + 1, s.GetString() + 2); }, "ac"},
      {"= self + self", [](Str& s) { s = s + s; }, "abcabc"},
      {"Trim(own unit)", [](Str& s) { s.Trim(s.GetString()[0]); }, "bc"},
  };
  for (const auto& row : rows) {
    Str s = this->S("abc");
    row.change(s);
    EXPECT_EQ(Text(s), row.expected) << row.what;
  }
}

TYPED_TEST(CStringTTest, AppendingOwnTextSurvivesReallocation) {
  // Every length from 1 to 200 meets a full block at some point, so some of
  // these appends move the block while reading from it.
  for (int n = 1; n <= 200; ++n) {
    auto s = typename TestFixture::Str(TypeParam('a'), n);
    s.SetAt(n - 1, 'z');
    const int nRoom = s.GetAllocLength();
    s.Append(s.GetString(), n);
    ASSERT_EQ(s.GetLength(), 2 * n);
    EXPECT_EQ(s[n - 1], TypeParam('z'));
    EXPECT_EQ(s[2 * n - 1], TypeParam('z')) << n << " room " << nRoom;
    EXPECT_EQ(s.Compare(s.Left(n) + s.Left(n)), 0);
  }
}

// Every string of up to 5 units over {a, b, NUL}, with every text that starts
// inside it (up to the next NUL) as the argument: the result must be what the
// same call gives with a copy of that text. Embedded NULs make texts that end
// before the string does, so replacements can overwrite what they read from.
TYPED_TEST(CStringTTest, TextFromTheOwnBufferActsLikeACopy) {
  using Str = typename TestFixture::Str;
  const TypeParam alphabet[] = {'a', 'b', 0};
  for (int nLength = 1; nLength <= 5; ++nLength) {
    int nStrings = 1;
    for (int i = 0; i < nLength; ++i) nStrings *= 3;
    for (int code = 0; code < nStrings; ++code) {
      std::basic_string<TypeParam> units;
      for (int i = 0, rest = code; i < nLength; ++i, rest /= 3) units.push_back(alphabet[rest % 3]);
      const Str original(units.data(), nLength);
      for (int first = 0; first < nLength; ++first) {
        for (int second = 0; second <= nLength; ++second) {
          const Str oldCopy(original.GetString() + first);
          const Str newCopy(original.GetString() + second);
          Str expected = original;
          expected.Replace(oldCopy, newCopy);
          // Either text or both may come from the string itself.
          for (const int aliased : {1, 2, 3}) {
            Str actual = original;
            const TypeParam* own = actual.GetString();
            actual.Replace(aliased & 1 ? own + first : oldCopy.GetString(),
                           aliased & 2 ? own + second : newCopy.GetString());
            ASSERT_TRUE(actual == expected)
                << "Replace " << code << "/" << first << "/" << second << "/" << aliased;
          }

          expected = original;
          Str actual = original;
          expected.Insert(second, oldCopy);
          actual.Insert(second, actual.GetString() + first);
          ASSERT_TRUE(actual == expected) << "Insert " << code << "/" << first << "/" << second;
        }
        Str appended = original;
        appended.Append(appended.GetString() + first);
        ASSERT_TRUE(appended == original + Str(original.GetString() + first)) << "Append " << code;
        Str assigned = original;
        assigned = assigned.GetString() + first;
        ASSERT_TRUE(assigned == Str(original.GetString() + first)) << "assign " << code;
      }
    }
  }
}

// ---- relocation as raw bytes -------------------------------------------------

TYPED_TEST(CStringTTest, StaysValidWhenMovedAsRawBytes) {
  using Str = typename TestFixture::Str;
  alignas(Str) unsigned char first[2][sizeof(Str)];
  alignas(Str) unsigned char second[2][sizeof(Str)];
  new (first[0]) Str(this->S("relocated text"));
  new (first[1]) Str();
  std::memcpy(second, first, sizeof first);
  std::memset(first, 0xCD, sizeof first);  // the old place is gone

  auto& text = *std::launder(reinterpret_cast<Str*>(second[0]));
  auto& empty = *std::launder(reinterpret_cast<Str*>(second[1]));
  EXPECT_EQ(Text(text), "relocated text");
  EXPECT_EQ(Text(empty), "");
  text.Append(this->P(", grown well past its first block"));
  empty.Append(this->P("now owned"));
  EXPECT_EQ(Text(text), "relocated text, grown well past its first block");
  EXPECT_EQ(Text(empty), "now owned");
  text.~Str();
  empty.~Str();
}

// ---- length limits -----------------------------------------------------------

TYPED_TEST(CStringTTest, ResultsLongerThanAnIntRaiseMemoryException) {
  using Str = typename TestFixture::Str;
  Str s(TypeParam('a'), 1000);
  const Str replacement(TypeParam('b'), 3'000'000);  // 1000 x 3e6 units > INT_MAX
  ExpectRaises<CMemoryException>([&] { s.Replace(this->P("a"), replacement); });
  EXPECT_EQ(Text(s), std::string(1000, 'a'));
}

// ---- wide units ----------------------------------------------------------------

TEST(CStringWTest, NonAsciiUnitsAreNeverChangedOrTrimmed) {
  CStringW s(u"\u00A0\u3000\u00e4\u00C4\U0001F600\u3000");
  const CStringW original = s;
  s.MakeUpper();
  EXPECT_TRUE(s == original);
  s.MakeLower();
  EXPECT_TRUE(s == original);
  s.Trim();
  EXPECT_TRUE(s == original);
  EXPECT_EQ(s.GetLength(), 7);  // the emoji is a surrogate pair
  EXPECT_NE(CStringW(u"\u00C4").CompareNoCase(u"\u00E4"), 0);
  EXPECT_GT(CStringW(u"\uFF00").Compare(u"a"), 0);
}

// ---- formatting (narrow only) --------------------------------------------------

std::string Printf(const char* format, auto... args) {
  const int n = std::snprintf(nullptr, 0, format, args...);
  std::string text(static_cast<std::size_t>(n), '\0');
  std::snprintf(text.data(), text.size() + 1, format, args...);
  return text;
}

TEST(CStringAFormatTest, MatchesPrintf) {
  CStringA s("previous");
  s.Format("%d|%5s|%-3c|%.2f|%x|%%|%s", -42, "ab", 'q', 3.14159, 255u, "");
  EXPECT_EQ(Text(s), "-42|   ab|q  |3.14|ff|%|");
  s.Format("");
  EXPECT_EQ(Text(s), "");
  s.Format("%c", 0);
  EXPECT_EQ(s.GetLength(), 1);  // an embedded NUL counts
}

TEST(CStringAFormatTest, LengthsAroundTheScratchBuffer) {
  CStringA s;
  for (const int width : {1, 255, 510, 511, 512, 513, 1000, 5000, 100000}) {
    s.Format("%*d", width, 7);
    EXPECT_EQ(Text(s), Printf("%*d", width, 7)) << width;
    s.AppendFormat("<%0*d>", width, 3);
    EXPECT_EQ(Text(s), Printf("%*d<%0*d>", width, 7, width, 3)) << width;
  }
}

TEST(CStringAFormatTest, ArgumentsMayPointIntoTheString) {
  CStringA s("abc");
  s.Format("%s-%s", s.GetString(), s.GetString());
  EXPECT_EQ(Text(s), "abc-abc");
  s.AppendFormat("+%s", s.GetString());
  EXPECT_EQ(Text(s), "abc-abc+abc-abc");
  const std::string longText(2000, 'L');
  s = longText.c_str();
  s.Format("[%s]", s.GetString() + 1);
  EXPECT_EQ(Text(s), "[" + longText.substr(1) + "]");
  s.AppendFormat("%s", s.GetString());
  EXPECT_EQ(s.GetLength(), 2 * 2001);
}

TEST(CStringAFormatTest, NullFormatsRaiseInvalidArgAndKeepTheText) {
  CStringA s("kept");
  ExpectRaises<CInvalidArgException>([&] { s.Format(nullptr); });
  ExpectRaises<CInvalidArgException>([&] { s.AppendFormat(nullptr); });
  EXPECT_EQ(Text(s), "kept");
}

}  // namespace
