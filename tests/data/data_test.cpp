// The data family: discrete frequencies, unchanged items and missing values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <kxutils96/data/detail/distinct_texts.h>
#include <kxutils96/data/discrete_frequencies.h>
#include <kxutils96/data/missing_values.h>
#include <kxutils96/data/remove_unchanged_items.h>
#include <kxutils96/sort/sort_family.h>

#include "support/array_text.h"
#include "support/colliding_texts.h"
#include "support/mock_host_object.h"

namespace {

using namespace kxu::test;
using Ints = std::vector<int>;

// Against the runs of equal neighbours in the stable sort of the input,
// under every option, on texts with case variants, spaces to trim and
// prefixes shared past 8 and 16 bytes: the same groups (appended after what
// the output held, each shown by its first member), counts and sorted input,
// and nothing written past the counts.
TEST(DiscreteFrequencies, GroupsAreTheRunsOfTheStableSort) {
  std::mt19937 rng(3);
  const std::string past16 = "abcdefghijklmnopq";  // 17 bytes shared, but for case
  const std::string stems[] = {"value",     "VALUE",    " a",         "a ",
                               "",          "\xC3\xA9", past16 + 'r', "ABCDEFGHIJKLMNOPQr",
                               past16 + 'R'};
  for (const int n : {1, 7, 3000}) {
    Texts texts;
    for (int i = 0; i < n; ++i) texts.push_back(stems[rng() % 9] + std::to_string(rng() % 40));
    for (int options = 0; options < 4; ++options) {
      const bool caseSensitive = (options & kFrequenciesCaseSensitive) != 0;
      CZQVStringArray sorted = ArrayOf(texts);
      for (int i = 0; (options & kFrequenciesTrim) && i < sorted.GetSize(); ++i)
        sorted[i].TrimLeft().TrimRight();
      kxutilsSort(sorted, caseSensitive ? SORT_CASE_SENSITIVE : 0UL, nullptr);
      Texts groups = {"old"};
      std::vector<double> counts;
      for (int i = 0; i < sorted.GetSize(); ++i) {
        const CStringUTF8& text = sorted[i];
        if (i == 0 || (caseSensitive ? text.Compare(sorted[i - 1])
                                     : text.CompareNoCase(sorted[i - 1])) != 0) {
          groups.emplace_back(text.GetString());
          counts.push_back(0.0);
        }
        counts.back() += 1.0;
      }
      // The frequency buffer is one longer than the input, and the count
      // starts at a value no run gives.
      QueryLog log;
      CZQVStringArray in = ArrayOf(texts), out = ArrayOf({"old"});
      MockHostObject input{log, in}, output{log, out};
      std::vector<double> frequencies(texts.size() + 1, -1.0);
      int count = -7;
      ASSERT_EQ(kxu_discrete_frequencies(&input, &output, frequencies.data(), &count, options), 1);
      EXPECT_EQ(TextsOf(in), TextsOf(sorted)) << options;
      EXPECT_EQ(TextsOf(out), groups) << options;
      ASSERT_EQ(count, static_cast<int>(counts.size()));
      EXPECT_EQ(std::vector<double>(frequencies.begin(), frequencies.begin() + count), counts);
      EXPECT_EQ(frequencies[counts.size()], -1.0);
    }
  }
}

// Texts made to share one slot under a hash that anyone can work out spread
// under the process's seeded one: a lookup steps on about one taken slot, not
// on every text before it.
TEST(DiscreteFrequencies, TextsMadeToCollideCostAboutOneProbeEach) {
  const std::vector<std::string> texts = CollidingTexts(4096);
  using namespace kxu::data::detail;
  DistinctTexts<false> distinct;
  for (const std::string& text : texts)
    distinct.GroupOf(KeyOf<false>(text.c_str(), kxu::platform::ProcessHashSeeds()));
  EXPECT_LE(distinct.Probes(), 2 * texts.size());
}

// An item is unchanged when its id's first reference entry has its name,
// case aside; extra strings go with their items; the reference side stays.
// A bad current side (arrays empty or of different lengths) is judged before
// a bad reference side; either way nothing changes.
TEST(RemoveUnchangedItems, RemovesUnchangedItemsOrReportsTheBadSide) {
  const std::tuple<Ints, Texts, Ints, Texts, Texts, int, Ints, Texts, Texts> rows[] = {
      {{1}, {"A"}, {1, 3}, {"a", "D"}, {"x", "z"}, 1, {3}, {"D"}, {"z"}},
      {{5, 5}, {"old", "new"}, {5}, {"new"}, {}, 0, {5}, {"new"}, {}},
      {{5, 5}, {"old", "new"}, {5}, {"OLD"}, {}, 1, {}, {}, {}},
      {{7}, {"n"}, {7, 7, 8}, {"N", "n", "n"}, {}, 2, {8}, {"n"}, {}},
      {{3, 2, 1}, {"c", "b", "a"}, {1, 2, 3}, {"A", "B", "C"}, {}, 3, {}, {}, {}},
      {{1}, {"ab"}, {1}, {"abc"}, {}, 0, {1}, {"abc"}, {}},
      {{1}, {"a"}, {1, 2, 3}, {"a", "b"}, {}, kRemoveBadCurrentSide, {1, 2, 3}, {"a", "b"}, {}},
      {{1}, {"a"}, {}, {}, {}, kRemoveBadCurrentSide, {}, {}, {}},
      {{1}, {"a"}, {1, 2}, {"a", "b"}, {"x"}, kRemoveBadCurrentSide, {1, 2}, {"a", "b"}, {"x"}},
      {{}, {}, {1}, {"a"}, {}, kRemoveBadReferenceSide, {1}, {"a"}, {}},
      {{1, 2}, {"a"}, {1}, {"a"}, {}, kRemoveBadReferenceSide, {1}, {"a"}, {}},
      {{1}, {}, {1}, {"a"}, {}, kRemoveBadReferenceSide, {1}, {"a"}, {}},
  };
  for (const auto& [refIds, refNames, ids, names, extra, expected, idsAfter, namesAfter,
                    extraAfter] : rows) {
    // The five host objects, each answering its array.
    QueryLog log;
    CArray<int, int> refIdArray, idArray;
    for (int v : refIds) refIdArray.Add(v);
    for (int v : ids) idArray.Add(v);
    CZQVStringArray refNameArray = ArrayOf(refNames), nameArray = ArrayOf(names),
                    extraArray = ArrayOf(extra);
    MockHostObject refIdsObject{log, refIdArray}, refNamesObject{log, refNameArray},
        idsObject{log, idArray}, namesObject{log, nameArray}, extraObject{log, extraArray};
    const int* storage = idArray.GetData();
    EXPECT_EQ(
        kxu_remove_unchanged_items_by_id(&refIdsObject, &refNamesObject, &idsObject, &namesObject,
                                         extra.empty() ? nullptr : &extraObject),
        expected);
    EXPECT_EQ(IntsOf(idArray), idsAfter);
    EXPECT_EQ(TextsOf(nameArray), namesAfter);
    EXPECT_EQ(TextsOf(extraArray), extraAfter);
    EXPECT_EQ(IntsOf(refIdArray), refIds);
    EXPECT_EQ(TextsOf(refNameArray), refNames);
    EXPECT_TRUE(idsAfter.empty() || idArray.GetData() == storage) << "shrunk in place";
  }
}

// Bits on purpose: NaN payloads, both zeros and the marker must come back exactly.
std::vector<unsigned long long> Bits(const std::vector<double>& values) {
  std::vector<unsigned long long> bits(values.size());
  std::memcpy(bits.data(), values.data(), values.size() * sizeof(double));
  return bits;
}

// Only the first `count` values are looked at (an infinity just past the
// count stays); a null buffer gives 0.
TEST(MissingValues, EachDirectionReplacesItsOwnValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double qnan = std::numeric_limits<double>::quiet_NaN();
  const double nan = std::log(-1.0);  // the NaN written for NANUM
  std::vector<double> values = {1.0, NANUM, 0.0, qnan, inf, -inf, -0.0, -NANUM, NANUM, inf};
  EXPECT_EQ(kxu_NANUM_to_nan(values.data(), 8), 1);
  EXPECT_EQ(Bits(values), Bits({1.0, nan, 0.0, qnan, inf, -inf, -0.0, -NANUM, NANUM, inf}));
  EXPECT_EQ(kxu_nan_inf_to_NANUM(values.data(), 9), 4);
  EXPECT_EQ(Bits(values), Bits({1.0, NANUM, 0.0, NANUM, NANUM, NANUM, -0.0, -NANUM, NANUM, inf}));
  for (auto* convert : {kxu_NANUM_to_nan, kxu_nan_inf_to_NANUM})
    EXPECT_EQ(std::tuple(convert(values.data(), 0), convert(nullptr, 5)), std::tuple(0, 0));
}

}  // namespace
