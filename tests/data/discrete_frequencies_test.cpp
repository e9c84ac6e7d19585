#include <gtest/gtest.h>
#include "support/array_text.h"

#include <random>
#include <string>
#include <vector>

#include <kxutils96/data/discrete_frequencies.h>
#include <kxutils96/sort/sort_family.h>
#include <kxutils96/strings/zqv_string_array.h>
#include <support/mock_host_object.h>

namespace {

using kxu::test::TextsOf;

using kxu::test::MockHostObject;
using kxu::test::QueryLog;

struct Fixture {
  QueryLog log;
  MockHostObject input{log};
  MockHostObject output{log};
  CZQVStringArray in;
  CZQVStringArray out;
  std::vector<double> frequencies = std::vector<double>(16, -1.0);
  int count = -7;

  explicit Fixture(const std::vector<const char*>& strings) {
    for (const char* s : strings) in.Add(s);
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

struct Row {
  std::vector<const char*> input;
  int options;
  std::vector<std::string> groups;
  std::vector<double> frequencies;
};

TEST(DiscreteFrequencies, GroupsAndCounts) {
  const Row rows[] = {
      {{"b", "a", "b"}, 0, {"a", "b"}, {1.0, 2.0}},
      {{"b", "a", "b"}, 3, {"a", "b"}, {1.0, 2.0}},
      {{"x"}, 0, {"x"}, {1.0}},
      {{"a", "A", "b"}, 0, {"a", "b"}, {2.0, 1.0}},
      {{"a", "A", "b"}, 1, {"A", "a", "b"}, {1.0, 1.0, 1.0}},
      {{" a", "a "}, 2, {"a"}, {2.0}},
      {{" a", "a "}, 0, {" a", "a "}, {1.0, 1.0}},
      {{"c", "c", "c", "c"}, 0, {"c"}, {4.0}},
      {{"z", "y", "x", "w"}, 1, {"w", "x", "y", "z"}, {1.0, 1.0, 1.0, 1.0}},
      {{"a", "b", "b", "c", "c", "c", "d"}, 0, {"a", "b", "c", "d"}, {1.0, 2.0, 3.0, 1.0}},
      {{"q", "p", "q", "p", "r", "r"}, 1, {"p", "q", "r"}, {2.0, 2.0, 2.0}},
  };
  for (const Row& r : rows) {
    Fixture f(r.input);
    EXPECT_EQ(f.Run(r.options), 1);
    ASSERT_EQ(f.count, static_cast<int>(r.groups.size()));
    EXPECT_EQ(f.Frequencies(), r.frequencies);
    EXPECT_EQ(TextsOf(f.out), r.groups);
    EXPECT_EQ(f.frequencies[static_cast<size_t>(f.count)],
              -1.0);  // nothing written past the groups
  }
}

// Against the runs of equal neighbours in the stable sort of the input,
// under every option, on texts with case variants, spaces to trim and
// prefixes shared past 8 and 16 bytes: the same groups, counts and sorted
// input.
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
  std::vector<std::string> texts;
  for (int i = 0; i < 3000; ++i) texts.push_back(stems[rng() % 9] + std::to_string(rng() % 40));
  std::vector<const char*> input;
  for (const auto& text : texts) input.push_back(text.c_str());
  for (int options = 0; options < 4; ++options) {
    const bool caseSensitive = (options & kFrequenciesCaseSensitive) != 0;
    CZQVStringArray sorted = kxu::test::ArrayOf(texts);
    for (int i = 0; (options & kFrequenciesTrim) && i < sorted.GetSize(); ++i)
      sorted[i].TrimLeft().TrimRight();
    kxutilsSort(sorted, caseSensitive ? SORT_CASE_SENSITIVE : 0UL, nullptr);
    std::vector<std::string> groups;
    std::vector<double> counts;
    for (int i = 0; i < sorted.GetSize(); ++i) {
      const char* previous = i > 0 ? sorted[i - 1].GetString() : nullptr;
      if (previous &&
          (caseSensitive ? sorted[i].Compare(previous) : sorted[i].CompareNoCase(previous)) == 0) {
        counts.back() += 1.0;
      } else {
        groups.emplace_back(sorted[i].GetString());
        counts.push_back(1.0);
      }
    }
    Fixture f(input);
    f.frequencies.assign(texts.size(), -1.0);
    ASSERT_EQ(f.Run(options), 1);
    EXPECT_EQ(TextsOf(f.in), TextsOf(sorted)) << options;
    EXPECT_EQ(TextsOf(f.out), groups) << options;
    EXPECT_EQ(f.Frequencies(), counts) << options;
  }
}

// The input is sorted (and trimmed) in place; a group without case is shown by
// its first member; the output keeps what it held.
TEST(DiscreteFrequencies, SortsTheInputInPlaceAndAppendsTheGroups) {
  Fixture f({"B", " a ", "b", "A"});
  f.out.Add("old");
  EXPECT_EQ(f.Run(2), 1);
  EXPECT_EQ(TextsOf(f.in)[0], "a");
  EXPECT_EQ(TextsOf(f.out), (std::vector<std::string>{"old", TextsOf(f.in)[0], TextsOf(f.in)[2]}));
}

TEST(DiscreteFrequencies, InputMayBeTheOutput) {
  Fixture f({});
  f.in.SetSize(3);  // full, so the first group appended moves the strings
  f.in[0] = "b";
  f.in[1] = "a";
  f.in[2] = "b";
  f.output.Answer(QUERY_STRING_ARRAY, &f.in);
  EXPECT_EQ(f.Run(0), 1);
  EXPECT_EQ(TextsOf(f.in), (std::vector<std::string>{"a", "b", "b", "a", "b"}));
  EXPECT_EQ(f.Frequencies(), (std::vector<double>{1.0, 2.0}));
}

TEST(DiscreteFrequencies, EmptyInputReturnsZeroAndWritesNothing) {
  Fixture f({});
  EXPECT_EQ(kxu_discrete_frequencies(&f.input, &f.output, nullptr, nullptr, 0), 0);
  EXPECT_EQ(f.Run(0), 0);
  EXPECT_EQ(f.count, -7);
  EXPECT_EQ(f.out.GetSize(), 0);
  EXPECT_EQ(f.frequencies[0], -1.0);
}

TEST(DiscreteFrequencies, MissingResultPointersAreRefusedBeforeSorting) {
  Fixture f({"b", "a"});
  EXPECT_EQ(kxu_discrete_frequencies(&f.input, &f.output, nullptr, &f.count, 0), -1);
  EXPECT_EQ(kxu_discrete_frequencies(&f.input, &f.output, f.frequencies.data(), nullptr, 0), -1);
  EXPECT_EQ(TextsOf(f.in), (std::vector<std::string>{"b", "a"}));
}

}  // namespace
