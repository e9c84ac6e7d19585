#include <gtest/gtest.h>
#include "support/array_text.h"

#include <random>
#include <string>
#include <vector>

#include <kxutils96/data/discrete_frequencies.h>
#include <kxutils96/sort/sort_family.h>
#include <support/mock_host_object.h>

namespace {

using namespace kxu::test;

// The input and output host objects, a frequency buffer one longer than the
// input, and a count that shows whether it was written.
struct Fixture {
  QueryLog log;
  MockHostObject input{log}, output{log};
  CZQVStringArray in, out;
  std::vector<double> frequencies;
  int count = -7;

  explicit Fixture(const Texts& strings)
      : in(ArrayOf(strings)), frequencies(strings.size() + 1, -1.0) {
    input.Answer(QUERY_STRING_ARRAY, &in);
    output.Answer(QUERY_STRING_ARRAY, &out);
  }
  int Run(int options) {
    return kxu_discrete_frequencies(&input, &output, frequencies.data(), &count, options);
  }
  std::vector<double> Frequencies() const {
    return std::vector<double>(frequencies.begin(), frequencies.begin() + (count > 0 ? count : 0));
  }
};

// Against the runs of equal neighbours in the stable sort of the input,
// under every option, on texts with case variants, spaces to trim and
// prefixes shared past 8 and 16 bytes: the same groups (appended after what
// the output held, each shown by its first member), counts and sorted input,
// and nothing written past the counts.
TEST(DiscreteFrequencies, GroupsAreTheRunsOfTheStableSort) {
  std::mt19937 rng(3);
  const std::string stems[] = {"value",
                               "VALUE",
                               " a",
                               "a ",
                               "",
                               "\xC3\xA9",
                               "abcdefghijklmnopqr",
                               "ABCDEFGHIJKLMNOPQr",
                               "abcdefghijklmnopqR"};
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
        const char* previous = i > 0 ? sorted[i - 1].GetString() : nullptr;
        if (previous && (caseSensitive ? sorted[i].Compare(previous)
                                       : sorted[i].CompareNoCase(previous)) == 0) {
          counts.back() += 1.0;
        } else {
          groups.emplace_back(sorted[i].GetString());
          counts.push_back(1.0);
        }
      }
      Fixture f(texts);
      f.out.Add("old");
      ASSERT_EQ(f.Run(options), 1);
      EXPECT_EQ(TextsOf(f.in), TextsOf(sorted)) << options;
      EXPECT_EQ(TextsOf(f.out), groups) << options;
      EXPECT_EQ(f.Frequencies(), counts) << options;
      EXPECT_EQ(f.frequencies[counts.size()], -1.0);
    }
  }
}

TEST(DiscreteFrequencies, InputMayBeTheOutput) {
  Fixture f({});
  f.in.SetSize(3);  // full, so the first group appended moves the strings
  f.in[0] = f.in[2] = "b";
  f.in[1] = "a";
  f.frequencies.resize(3);
  f.output.Answer(QUERY_STRING_ARRAY, &f.in);
  EXPECT_EQ(f.Run(0), 1);
  EXPECT_EQ(TextsOf(f.in), (Texts{"a", "b", "b", "a", "b"}));
  EXPECT_EQ(f.Frequencies(), (std::vector<double>{1.0, 2.0}));
}

// An empty input gives 0 whatever the result pointers; otherwise missing
// ones are refused before the input is sorted.
TEST(DiscreteFrequencies, EmptyInputAndMissingResultPointers) {
  Fixture f({});
  EXPECT_EQ(kxu_discrete_frequencies(&f.input, &f.output, nullptr, nullptr, 0), 0);
  EXPECT_EQ(f.Run(0), 0);
  EXPECT_EQ(f.count, -7);
  EXPECT_EQ(f.out.GetSize(), 0);
  EXPECT_EQ(f.frequencies[0], -1.0);
  Fixture g({"b", "a"});
  EXPECT_EQ(kxu_discrete_frequencies(&g.input, &g.output, nullptr, &g.count, 0), -1);
  EXPECT_EQ(kxu_discrete_frequencies(&g.input, &g.output, g.frequencies.data(), nullptr, 0), -1);
  EXPECT_EQ(TextsOf(g.in), (Texts{"b", "a"}));
}

}  // namespace
