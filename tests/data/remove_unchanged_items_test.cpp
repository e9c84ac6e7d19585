#include <gtest/gtest.h>
#include "support/array_text.h"

#include <string>
#include <vector>

#include <kxutils96/data/remove_unchanged_items.h>
#include <kxutils96/platform/framework/afx_coll.h>
#include <kxutils96/strings/zqv_string_array.h>
#include <support/mock_host_object.h>

namespace {

using kxu::test::TextsOf;

using kxu::test::MockHostObject;
using kxu::test::QueryLog;

std::vector<int> Ints(const CArray<int, int>& array) {
  return std::vector<int>(array.GetData(), array.GetData() + array.GetSize());
}

void Fill(CArray<int, int>& array, const std::vector<int>& values) {
  array.SetSize(0);
  for (int v : values) array.Add(v);
}

void Fill(CZQVStringArray& array, const std::vector<const char*>& values) {
  array.RemoveAll();
  for (const char* v : values) array.Add(v);
}

struct Fixture {
  QueryLog log;
  MockHostObject refIdsObject{log}, refNamesObject{log}, idsObject{log}, namesObject{log},
      extraObject{log};
  CArray<int, int> refIds, ids;
  CZQVStringArray refNames, names, extra;

  Fixture(const std::vector<int>& ri, const std::vector<const char*>& rn, const std::vector<int>& i,
          const std::vector<const char*>& n, const std::vector<const char*>& e) {
    Fill(refIds, ri);
    Fill(refNames, rn);
    Fill(ids, i);
    Fill(names, n);
    Fill(extra, e);
    refIdsObject.Answer(QUERY_INT_ARRAY, &refIds);
    refNamesObject.Answer(QUERY_STRING_ARRAY, &refNames);
    idsObject.Answer(QUERY_INT_ARRAY, &ids);
    namesObject.Answer(QUERY_STRING_ARRAY, &names);
    extraObject.Answer(QUERY_STRING_ARRAY, &extra);
  }
  int Run(bool withExtra = true) {
    return kxu_remove_unchanged_items_by_id(&refIdsObject, &refNamesObject, &idsObject,
                                            &namesObject, withExtra ? &extraObject : nullptr);
  }
};

TEST(RemoveUnchangedItems, RemovesUnchangedKeepsNewAndRenamed) {
  Fixture f({1, 2}, {"A", "B"}, {1, 2, 3}, {"a", "C", "D"}, {"x", "y", "z"});
  EXPECT_EQ(f.Run(), 1);
  EXPECT_EQ(Ints(f.ids), (std::vector<int>{2, 3}));
  EXPECT_EQ(TextsOf(f.names), (std::vector<std::string>{"C", "D"}));
  EXPECT_EQ(TextsOf(f.extra), (std::vector<std::string>{"y", "z"}));
  EXPECT_EQ(Ints(f.refIds), (std::vector<int>{1, 2}));
  EXPECT_EQ(TextsOf(f.refNames), (std::vector<std::string>{"A", "B"}));
}

TEST(RemoveUnchangedItems, Table) {
  struct Row {
    std::vector<int> refIds;
    std::vector<const char*> refNames;
    std::vector<int> ids;
    std::vector<const char*> names;
    int expected;
    std::vector<int> idsAfter;
    std::vector<std::string> namesAfter;
  };
  const Row rows[] = {
      // Only the first occurrence of a reference id counts.
      {{5, 5}, {"old", "new"}, {5}, {"new"}, 0, {5}, {"new"}},
      {{5, 5}, {"old", "new"}, {5}, {"OLD"}, 1, {}, {}},
      // A current id that occurs twice: each judged on its own.
      {{7}, {"n"}, {7, 7, 8}, {"N", "n", "n"}, 2, {8}, {"n"}},
      {{7}, {"n"}, {7, 7}, {"n", "m"}, 1, {7}, {"m"}},
      // No matches.
      {{1}, {"a"}, {2, 3}, {"a", "a"}, 0, {2, 3}, {"a", "a"}},
      // Every item unchanged.
      {{3, 2, 1}, {"c", "b", "a"}, {1, 2, 3}, {"A", "B", "C"}, 3, {}, {}},
      // Names must match whole, case aside.
      {{1}, {"ab"}, {1}, {"abc"}, 0, {1}, {"abc"}},
  };
  for (const Row& r : rows) {
    Fixture f(r.refIds, r.refNames, r.ids, r.names, {});
    EXPECT_EQ(f.Run(false), r.expected);
    EXPECT_EQ(Ints(f.ids), r.idsAfter);
    EXPECT_EQ(TextsOf(f.names), r.namesAfter);
  }
}

TEST(RemoveUnchangedItems, ReferenceOrExtraMayBeTheNames) {
  Fixture f({1, 2}, {}, {2, 1}, {"a", "a"}, {});
  f.refNamesObject.Answer(QUERY_STRING_ARRAY, &f.names);  // read as it was at the start
  EXPECT_EQ(f.Run(false), 2);
  EXPECT_EQ(f.names.GetSize(), 0);
  Fixture g({2}, {"b"}, {1, 2, 3}, {"a", "b", "c"}, {});
  g.extraObject.Answer(QUERY_STRING_ARRAY, &g.names);
  EXPECT_EQ(g.Run(), 1);
  EXPECT_EQ(TextsOf(g.names), (std::vector<std::string>{"a", "c"}));
}

TEST(RemoveUnchangedItems, IntegerArrayShrinksInPlace) {
  Fixture f({1}, {"a"}, {1, 2}, {"a", "b"}, {});
  const int* storage = f.ids.GetData();
  EXPECT_EQ(f.Run(false), 1);
  EXPECT_EQ(f.ids.GetData(), storage);
  EXPECT_EQ(Ints(f.ids), (std::vector<int>{2}));
}

TEST(RemoveUnchangedItems, ResultCodesLeaveEverythingUnchanged) {
  struct Row {
    std::vector<int> refIds;
    std::vector<const char*> refNames;
    std::vector<int> ids;
    std::vector<const char*> names;
    std::vector<const char*> extra;
    bool withExtra;
    int expected;
  };
  const Row rows[] = {
      {{1}, {"a"}, {1, 2, 3}, {"a", "b"}, {}, false, -2},
      {{1}, {"a"}, {}, {}, {}, false, -2},
      {{1}, {"a"}, {1}, {}, {}, false, -2},
      {{1}, {"a"}, {}, {"a"}, {}, false, -2},
      {{1}, {"a"}, {1, 2}, {"a", "b"}, {"x"}, true, -2},
      {{}, {}, {1}, {"a"}, {}, false, -3},
      {{1, 2}, {"a"}, {1}, {"a"}, {}, false, -3},
      {{1}, {}, {1}, {"a"}, {}, false, -3},
      {{}, {"a"}, {1}, {"a"}, {}, false, -3},
      // The current side is judged first.
      {{}, {}, {1, 2}, {"a"}, {}, false, -2},
  };
  for (const Row& r : rows) {
    Fixture f(r.refIds, r.refNames, r.ids, r.names, r.extra);
    EXPECT_EQ(f.Run(r.withExtra), r.expected);
    EXPECT_EQ(Ints(f.ids), r.ids);
    EXPECT_EQ(f.names.GetSize(), static_cast<int>(r.names.size()));
    EXPECT_EQ(f.extra.GetSize(), static_cast<int>(r.extra.size()));
  }
}

// Which objects are asked and what a null or empty one gives is the frame's
// call-shape table; a missing integer array fails the side checks instead.
TEST(RemoveUnchangedItems, MissingIntegerArraysFailTheirSide) {
  Fixture g({1}, {"a"}, {1}, {"a"}, {});
  g.idsObject.Answer(QUERY_INT_ARRAY, nullptr);
  EXPECT_EQ(g.Run(false), -2);
  g.idsObject.Answer(QUERY_INT_ARRAY, &g.ids);
  g.refIdsObject.Answer(QUERY_INT_ARRAY, nullptr);
  EXPECT_EQ(g.Run(false), -3);
}

}  // namespace
