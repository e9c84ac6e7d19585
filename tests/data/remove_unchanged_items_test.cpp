#include <gtest/gtest.h>
#include "support/array_text.h"

#include <vector>

#include <kxutils96/data/remove_unchanged_items.h>
#include <kxutils96/platform/framework/afx_coll.h>
#include <kxutils96/strings/zqv_string_array.h>
#include <support/mock_host_object.h>

namespace {

using namespace kxu::test;
using Ints = std::vector<int>;

Ints IntsOf(const CArray<int, int>& array) {
  return Ints(array.GetData(), array.GetData() + array.GetSize());
}

// The five host objects, each answering its array.
struct Fixture {
  kxu::test::QueryLog log;
  kxu::test::MockHostObject refIdsObject{log}, refNamesObject{log}, idsObject{log},
      namesObject{log}, extraObject{log};
  CArray<int, int> refIds, ids;
  CZQVStringArray refNames, names, extra;

  Fixture(const Ints& ri, const Texts& rn, const Ints& i, const Texts& n, const Texts& e)
      : refNames(kxu::test::ArrayOf(rn)),
        names(kxu::test::ArrayOf(n)),
        extra(kxu::test::ArrayOf(e)) {
    for (int v : ri) refIds.Add(v);
    for (int v : i) ids.Add(v);
    refIdsObject.Answer(QUERY_INT_ARRAY, &refIds);
    refNamesObject.Answer(QUERY_STRING_ARRAY, &refNames);
    idsObject.Answer(QUERY_INT_ARRAY, &ids);
    namesObject.Answer(QUERY_STRING_ARRAY, &names);
    extraObject.Answer(QUERY_STRING_ARRAY, &extra);
  }
  int Run(bool withExtra) {
    return kxu_remove_unchanged_items_by_id(&refIdsObject, &refNamesObject, &idsObject,
                                            &namesObject, withExtra ? &extraObject : nullptr);
  }
};

// An item is unchanged when its id's first reference entry has its name,
// case aside; extra strings go with their items; the reference side stays.
// A bad current side (arrays empty or of different lengths) is judged before
// a bad reference side; either way nothing changes.
TEST(RemoveUnchangedItems, RemovesUnchangedItemsOrReportsTheBadSide) {
  const std::tuple<Ints, Texts, Ints, Texts, Texts, int, Ints, Texts, Texts> rows[] = {
      {{1, 2},
       {"A", "B"},
       {1, 2, 3},
       {"a", "C", "D"},
       {"x", "y", "z"},
       1,
       {2, 3},
       {"C", "D"},
       {"y", "z"}},
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
    Fixture f(refIds, refNames, ids, names, extra);
    const int* storage = f.ids.GetData();
    EXPECT_EQ(f.Run(!extra.empty()), expected);
    EXPECT_EQ(IntsOf(f.ids), idsAfter);
    EXPECT_EQ(TextsOf(f.names), namesAfter);
    EXPECT_EQ(TextsOf(f.extra), extraAfter);
    EXPECT_EQ(IntsOf(f.refIds), refIds);
    EXPECT_EQ(TextsOf(f.refNames), refNames);
    EXPECT_TRUE(idsAfter.empty() || f.ids.GetData() == storage) << "shrunk in place";
  }
  // A missing integer array fails its side's check.
  Fixture g({1}, {"a"}, {1}, {"a"}, {});
  g.idsObject.Answer(QUERY_INT_ARRAY, nullptr);
  EXPECT_EQ(g.Run(false), kRemoveBadCurrentSide);
  g.idsObject.Answer(QUERY_INT_ARRAY, &g.ids);
  g.refIdsObject.Answer(QUERY_INT_ARRAY, nullptr);
  EXPECT_EQ(g.Run(false), kRemoveBadReferenceSide);
}

// The reference names are read as they were at the start when they are the
// names or the extra strings; names given as extra lose each item once.
TEST(RemoveUnchangedItems, ReferenceOrExtraMayBeTheNames) {
  Fixture f({1, 2}, {}, {2, 1}, {"a", "a"}, {});
  f.refNamesObject.Answer(QUERY_STRING_ARRAY, &f.names);
  EXPECT_EQ(f.Run(false), 2);
  EXPECT_EQ(f.names.GetSize(), 0);
  Fixture g({2}, {"b"}, {1, 2, 3}, {"a", "b", "c"}, {});
  g.extraObject.Answer(QUERY_STRING_ARRAY, &g.names);
  EXPECT_EQ(g.Run(true), 1);
  EXPECT_EQ(TextsOf(g.names), (Texts{"a", "c"}));
}

}  // namespace
