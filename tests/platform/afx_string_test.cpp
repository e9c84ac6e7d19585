// The framework's string against the standard string: random sequences of
// edits, searches, comparisons and pieces (with a fixed seed), each checked
// against what std::basic_string gives for the same call; then the few
// behaviours the standard string has no counterpart for.
#include <kxutils96/platform/framework/afx_string.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <random>
#include <string>

#include <kxutils96/platform/framework/afx_exception.h>

#include "support/caught_exception.h"

namespace {

// A standard string's search result as the framework reports it: -1 when
// nothing was found (npos is 2^32 - 1 in a 32-bit build, not -1).
long long PositionOf(std::size_t at) {
  return at == static_cast<std::size_t>(-1) ? -1 : static_cast<long long>(at);
}

using kxu::test::Caught;

int Sign(long long value) {
  return (value > 0) - (value < 0);
}

template <class Char>
using Ref = std::basic_string<Char>;

template <class Char>
Ref<Char> Folded(Ref<Char> text) {
  for (Char& ch : text)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<Char>(ch - 'A' + 'a');
  return text;
}

template <class Char>
bool IsSpace(Char ch) {
  return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

// Replace's reference: left to right, without overlap; returns the count.
template <class Char>
int ReplaceAll(Ref<Char>& text, const Ref<Char>& from, const Ref<Char>& to) {
  int n = 0;
  if (from.empty()) return 0;
  for (std::size_t at = text.find(from); at != Ref<Char>::npos;
       at = text.find(from, at + to.size()), ++n)
    text.replace(at, from.size(), to);
  return n;
}

template <class Char>
class CStringTTest : public ::testing::Test {};
using UnitTypes = ::testing::Types<char, WCHAR>;
TYPED_TEST_SUITE(CStringTTest, UnitTypes);

TYPED_TEST(CStringTTest, BehavesLikeTheStandardStringUnderRandomOperations) {
  using Char = TypeParam;
  using Str = CStringT<Char>;
  using R = Ref<Char>;
  std::mt19937 rng(96);
  auto pick = [&](long long lo, long long hi) {
    return std::uniform_int_distribution<long long>(lo, hi)(rng);
  };
  // Letters next to the case ranges, white space, NUL, and units that are
  // letters or spaces outside ASCII (never changed or trimmed).
  const Char alphabet[] = {'a',  'b', 'A',        'Z',
                           '@',  '[', ' ',        '\t',
                           '\r', 0,   Char(0xE4), Char(sizeof(Char) > 1 ? 0x3000 : 0xA0)};
  auto unit = [&] { return alphabet[pick(0, std::size(alphabet) - 1)]; };
  // A position or count: mostly near the string, sometimes at the int limits.
  auto number = [&](int len) {
    const int r = int(pick(0, 20));
    return r == 0 ? INT_MIN : r == 1 ? INT_MAX : int(pick(-2, len + 2));
  };
  for (int round = 0; round < 400; ++round) {
    Str s;
    R ref;
    for (int step = 0; step < 40; ++step) {
      const int len = static_cast<int>(ref.size());
      const int i = number(len);
      const int n = number(len);
      const long long start = std::max(i, 0);
      const Char u = unit();
      // Argument texts: fresh ones, or the string's own text from some unit on.
      R fresh[2];
      const Char* arg[2];
      for (int k = 0; k < 2; ++k) {
        for (long long m = pick(0, 3); m > 0; --m) fresh[k].push_back(unit() == 0 ? 'a' : unit());
        arg[k] = len > 0 && pick(0, 2) == 0 ? s.GetString() + pick(0, len) : fresh[k].c_str();
      }
      const R a(arg[0]), b(arg[1]);  // as the string reads them: up to the first NUL
      const R asRead(ref.c_str());
      const int op = static_cast<int>(pick(0, 20));
      long long got = 0, want = 0;
      switch (op) {
        case 0:
          s.Append(arg[0]);
          ref += a;
          break;
        case 1:
          s += u;
          ref += u;
          break;
        case 2:
          got = s.Insert(i, arg[0]);
          ref.insert(std::min<long long>(start, len), a);
          want = ref.size();
          break;
        case 3:
          got = s.Insert(i, u);
          ref.insert(std::min<long long>(start, len), 1, u);
          want = ref.size();
          break;
        case 4:
          got = s.Remove(u);
          want = std::erase(ref, u);
          break;
        case 5:
          got = s.Delete(i, n);
          if (n > 0 && start < len) ref.erase(start, n);
          want = ref.size();
          break;
        case 6:
          got = s.Replace(arg[0], arg[1]);
          want = ReplaceAll(ref, a, b);
          break;
        case 7:
          s.MakeUpper();
          for (Char& c : ref)
            if (c >= 'a' && c <= 'z') c = Char(c - 'a' + 'A');
          break;
        case 8: {
          const int side = int(pick(0, 5));
          auto drop = [&](Char c) { return side < 3 ? IsSpace(c) : c == u; };
          if (side % 3 != 2) ref.erase(ref.begin(), std::find_if_not(ref.begin(), ref.end(), drop));
          if (side % 3 != 1)
            ref.erase(std::find_if_not(ref.rbegin(), ref.rend(), drop).base(), ref.end());
          const std::function<void()> trims[] = {[&] { s.Trim(); },      [&] { s.TrimLeft(); },
                                                 [&] { s.TrimRight(); }, [&] { s.Trim(u); },
                                                 [&] { s.TrimLeft(u); }, [&] { s.TrimRight(u); }};
          trims[side]();
          break;
        }
        case 9:
          if (i >= 0 && i < len) {
            s.SetAt(i, u);
            ref[i] = u;
          } else
            EXPECT_TRUE(Caught<CInvalidArgException>([&] { s.SetAt(i, u); }));
          break;
        case 10:
          if (i >= 0 && i <= len) {
            got = s.GetAt(i);
            want = ref.c_str()[i];
          } else
            EXPECT_TRUE(Caught<CInvalidArgException>([&] { (void)s[i]; }));
          break;
        case 11:
          got = s.Find(u, i);
          want = i < 0 || i >= len ? -1 : PositionOf(ref.find(u, i));
          break;
        case 12:
          got = s.Find(arg[0], i);
          want = i < 0 || i > len ? -1 : PositionOf(ref.find(a, i));
          break;
        case 13:
          got = s.ReverseFind(u);
          want = PositionOf(ref.rfind(u));
          break;
        case 14:
          got = Sign(s.Compare(arg[0]));
          want = Sign(asRead.compare(a));
          break;
        case 15:
          got = Sign(s.CompareNoCase(arg[0]));
          want = Sign(Folded(asRead).compare(Folded(a)));
          break;
        case 16: {
          const int piece = int(pick(0, 2));
          const Str p = piece == 0 ? s.Left(n) : piece == 1 ? s.Mid(i) : s.Mid(i, n);
          const R expected = piece == 0 ? (n <= 0 ? R() : ref.substr(0, n))
                             : start >= len || (piece == 2 && n <= 0)
                                 ? R()
                                 : ref.substr(start, piece == 1 ? R::npos : std::size_t(n));
          EXPECT_EQ(R(p.GetString(), p.GetLength()), expected)
              << "piece " << piece << " " << i << "," << n;
          break;
        }
        case 17:
          s = arg[0];
          ref = a;
          break;
        case 18: {
          const bool front = pick(0, 1) == 1;
          s = front ? arg[0] + s : s + arg[0];
          ref = front ? a + ref : ref + a;
          break;
        }
        case 19: {  // a writable buffer with room, filled, released at its NUL or at a given length
          const int room = int(a.size() + pick(0, 3));
          Char* buffer = s.GetBuffer(room);
          EXPECT_GE(s.GetAllocLength(), room);
          std::copy(a.c_str(), a.c_str() + a.size() + 1, buffer);
          const int cut = int(pick(-1, a.size()));
          s.ReleaseBuffer(cut);
          ref = cut < 0 ? a : a.substr(0, cut);
          break;
        }
        case 20: {
          Str copy(s);
          s.Empty();
          s = std::move(copy);
          break;
        }
      }
      ASSERT_EQ(got, want) << "op " << op << " step " << step << " round " << round << " i " << i
                           << " n " << n;
      ASSERT_EQ(R(s.GetString(), s.GetLength()), ref)
          << "op " << op << " step " << step << " round " << round;
      ASSERT_EQ(s.GetString()[s.GetLength()], Char(0)) << "op " << op;
    }
  }
}

// Formatting (narrow strings only) against printf, around the scratch
// buffer's size and with arguments from the string itself.
TEST(CStringAFormatTest, MatchesPrintf) {
  CStringA s("abc");
  s.Format("%s-%s|%5s|%-3c|%.2f|%x|%%", s.GetString(), s.GetString(), "ab", 'q', 3.14159, 255u);
  EXPECT_STREQ(s, "abc-abc|   ab|q  |3.14|ff|%");
  for (const int width : {511, 512, 513, 100000}) {
    const int nBefore = s.GetLength();
    s.Format("%*d%s", width, 7, s.GetString() + 1);
    EXPECT_EQ(s.Find('7'), width - 1);
    EXPECT_EQ(s.GetLength(), width + nBefore - 1) << width;
  }
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { s.Format(nullptr); }));
}

}  // namespace
