// The framework's string against the standard string: random sequences of
// the calls the families make (with a fixed seed), each checked against what
// std::basic_string gives for the same call. (Formatting is tested through
// the messages and paths the families format.)
#include <kxutils96/platform/framework/afx_string.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <random>
#include <string>
#include <utility>

#include <kxutils96/platform/framework/afx_exception.h>

namespace {

constexpr long long kRaised = LLONG_MIN;

// A standard string's search result as the framework reports it: -1 when
// nothing was found (npos is 2^32 - 1 in a 32-bit build, not -1).
long long PositionOf(std::size_t at) {
  return at == static_cast<std::size_t>(-1) ? -1 : static_cast<long long>(at);
}

// The call's result, or kRaised when it raises CInvalidArgException.
long long ResultOf(const std::function<long long()>& call) {
  try {
    return call();
  } catch (CException* e) {
    const bool bInvalidArg = dynamic_cast<CInvalidArgException*>(e) != nullptr;
    e->Delete();
    return bInvalidArg ? kRaised : kRaised + 1;
  }
}

int Sign(long long value) {
  return (value > 0) - (value < 0);
}

template <class Char>
std::basic_string<Char> Folded(std::basic_string<Char> text) {
  for (Char& ch : text)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<Char>(ch - 'A' + 'a');
  return text;
}

// Replace's reference: left to right, without overlap; returns the count.
template <class Char>
int ReplaceAll(std::basic_string<Char>& text, const std::basic_string<Char>& from,
               const std::basic_string<Char>& to) {
  int n = 0;
  for (std::size_t at = text.find(from); !from.empty() && at != text.npos;
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
  using R = std::basic_string<Char>;
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
  const auto isSpace = [](Char ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); };
  for (int round = 0; round < 400; ++round) {
    CStringT<Char> s;
    R ref;
    for (int step = 0; step < 40; ++step) {
      const int len = static_cast<int>(ref.size());
      // Positions and counts: mostly near the string, sometimes at the int limits.
      int number[2];
      for (int& x : number) {
        const int r = int(pick(0, 20));
        x = r == 0 ? INT_MIN : r == 1 ? INT_MAX : int(pick(-2, len + 2));
      }
      const int i = number[0], n = number[1];
      const long long start = std::clamp(i, 0, len);
      const Char u = unit();
      // Argument texts: fresh ones, or the string's own text from some unit on.
      R fresh[2];
      const Char* arg[2];
      for (int k = 0; k < 2; ++k) {
        for (long long m = pick(0, 3); m > 0; --m) fresh[k].push_back(unit() == 0 ? 'a' : unit());
        arg[k] = len > 0 && pick(0, 2) == 0 ? s.GetString() + pick(0, len) : fresh[k].c_str();
      }
      const R a(arg[0]), b(arg[1]), asRead(ref.c_str());  // as read: up to the first NUL
      const int side = int(pick(0, 3)), cut = int(pick(-1, a.size()));
      const auto drop = [&](Char c) {
        return side < 3 ? isSpace(c) : c == u;
      };  // side 3: TrimRight(u)
      // Each call on the string and on the reference, with the results to compare.
      const std::pair<std::function<long long()>, std::function<long long()>> ops[] = {
          {[&] { return s.Append(arg[0]), s.GetLength(); }, [&] { return (ref += a).size(); }},
          {[&] { return (s += u).GetLength(); }, [&] { return (ref += u).size(); }},
          {[&] { return s.Insert(i, arg[0]); }, [&] { return ref.insert(start, a).size(); }},
          {[&] { return s.Delete(i, n); },
           [&] { return (n > 0 && i < len ? ref.erase(start, n) : ref).size(); }},
          {[&] { return s.Replace(arg[0], arg[1]); }, [&] { return ReplaceAll(ref, a, b); }},
          {[&] { return s.MakeUpper().GetLength(); },
           [&] {
             for (Char& c : ref) c = c >= 'a' && c <= 'z' ? Char(c - 'a' + 'A') : c;
             return len;
           }},
          {[&] {
             const std::function<void()> trims[] = {[&] { s.Trim(); }, [&] { s.TrimLeft(); },
                                                    [&] { s.TrimRight(); },
                                                    [&] { s.TrimRight(u); }};
             trims[side]();
             return s.GetLength();
           },
           [&] {
             if (side < 2) ref.erase(ref.begin(), std::find_if_not(ref.begin(), ref.end(), drop));
             if (side != 1)
               ref.erase(std::find_if_not(ref.rbegin(), ref.rend(), drop).base(), ref.end());
             return ref.size();
           }},
          {[&] { return s.SetAt(i, u), 0; },
           [&] { return i >= 0 && i < len ? (ref[i] = u, 0) : kRaised; }},
          {[&] { return s.GetAt(i); },
           [&] { return i >= 0 && i <= len ? ref.c_str()[i] : kRaised; }},
          {[&] { return s.Find(u, i); },
           [&] { return i < 0 || i >= len ? -1 : PositionOf(ref.find(u, i)); }},
          {[&] { return s.Find(arg[0], i); },
           [&] { return i < 0 || i > len ? -1 : PositionOf(ref.find(a, i)); }},
          {[&] { return s.ReverseFind(u); }, [&] { return PositionOf(ref.rfind(u)); }},
          {[&] { return Sign(s.Compare(arg[0])); }, [&] { return Sign(asRead.compare(a)); }},
          {[&] { return Sign(s.CompareNoCase(arg[0])); },
           [&] { return Sign(Folded(asRead).compare(Folded(a))); }},
          {[&] { return (s = s.Left(n)).GetLength(); },  // pieces, through the text they replace
           [&] { return (ref = n <= 0 ? R() : ref.substr(0, n)).size(); }},
          {[&] { return (s = s.Mid(i)).GetLength(); },
           [&] { return (ref = i >= len ? R() : ref.substr(start)).size(); }},
          {[&] { return (s = arg[0]).GetLength(); }, [&] { return (ref = a).size(); }},
          {[&] { return (s = s + arg[0]).GetLength(); }, [&] { return (ref += a).size(); }},
          {[&] {  // a writable buffer with room, filled, released at its NUL or at a given length
             Char* buffer = s.GetBuffer(int(a.size()) + 2);
             std::copy(a.c_str(), a.c_str() + a.size() + 1, buffer);
             s.ReleaseBuffer(cut);
             return s.GetLength();
           },
           [&] { return (ref = cut < 0 ? a : a.substr(0, cut)).size(); }},
      };
      const auto op = static_cast<std::size_t>(pick(0, std::size(ops) - 1));
      const long long got = ResultOf(ops[op].first);
      ASSERT_EQ(got, ops[op].second()) << "op " << op << " step " << step << " round " << round;
      ASSERT_EQ(R(s.GetString(), s.GetLength()), ref) << "op " << op << " step " << step;
      ASSERT_EQ(s.GetString()[s.GetLength()], Char(0)) << "op " << op;
    }
  }
}

}  // namespace
