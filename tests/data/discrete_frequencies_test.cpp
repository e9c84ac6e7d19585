#include <gtest/gtest.h>
#include "support/array_text.h"

#include <string>
#include <vector>

#include <kxutils96/data/discrete_frequencies.h>
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
      {{"a", "A", "b"}, 0, {"", "b"}, {2.0, 1.0}},  // "" stands for "whichever came first"
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
    const auto groups = TextsOf(f.out);
    ASSERT_EQ(groups.size(), r.groups.size());
    for (size_t k = 0; k < groups.size(); ++k) {
      if (!r.groups[k].empty()) {
        EXPECT_EQ(groups[k], r.groups[k]);
      }
    }
    EXPECT_EQ(f.frequencies[static_cast<size_t>(f.count)],
              -1.0);  // nothing written past the groups
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
