// Filling a script string array from another in a given order.
#include <kxutils96/format/transforms/multi_str_reorder.h>
#include <kxutils96/frame/flat_call.h>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "support/array_text.h"
#include "support/mock_host_object.h"

namespace {

using kxu::format::kReorderDone;
using kxu::format::kReorderOutOfRange;
using kxu::frame::kResultMissingArgument;
using kxu::test::ArrayOf;
using kxu::test::MockHostObject;
using kxu::test::QueryLog;
using kxu::test::Texts;
using kxu::test::TextsOf;

struct ReorderCase {
  const char* name;
  std::vector<int> order;
  int nSrcSize;
  Texts destBefore;
  Texts expected;
  int nResult;
};

class MultiStrReorderTest : public ::testing::TestWithParam<ReorderCase> {};

TEST_P(MultiStrReorderTest, CopiesInOrder) {
  const ReorderCase& c = GetParam();
  QueryLog log;
  CZQVStringArray source = ArrayOf({"a", "b", "c"});
  CZQVStringArray dest = ArrayOf(c.destBefore);
  MockHostObject src(log);
  MockHostObject dst(log);
  src.Answer(QUERY_STRING_ARRAY, &source);
  dst.Answer(QUERY_STRING_ARRAY, &dest);
  const int nCount = static_cast<int>(c.order.size());
  const int order0 = 0;
  const int* pnOrder = c.order.empty() ? &order0 : c.order.data();
  EXPECT_EQ(kxu_multi_str_reorder(nCount, &dst, pnOrder, c.nSrcSize, &src), c.nResult);
  EXPECT_EQ(TextsOf(dest), c.expected);
  EXPECT_EQ(TextsOf(source), (Texts{"a", "b", "c"}));
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].pObject, &dst);
  EXPECT_EQ(log[1].pObject, &src);
  EXPECT_EQ(log[0].nQuery, QUERY_STRING_ARRAY);
  EXPECT_EQ(log[1].nQuery, QUERY_STRING_ARRAY);
}

INSTANTIATE_TEST_SUITE_P(
    kxu_multi_str_reorder, MultiStrReorderTest,
    ::testing::Values(
        ReorderCase{"Permutation", {2, 0, 1}, 3, {"x", "y", "z"}, {"c", "a", "b"}, kReorderDone},
        ReorderCase{"Repeat", {1, 1}, 3, {"x", "y"}, {"b", "b"}, kReorderDone},
        ReorderCase{"IndexAtSize", {0, 3}, 3, {"x", "y"}, {"x", "y"}, kReorderOutOfRange},
        ReorderCase{"NegativeIndex", {0, -1}, 3, {"x", "y"}, {"x", "y"}, kReorderOutOfRange},
        ReorderCase{"StatedSizeLimits", {2}, 2, {"x"}, {"x"}, kReorderOutOfRange},
        ReorderCase{"LongerDestKeepsTail", {2}, 3, {"x", "y", "z"}, {"c", "y", "z"}, 1},
        ReorderCase{
            "DestShorterThanCount", {0, 1, 2}, 3, {"x", "y"}, {"x", "y"}, kReorderOutOfRange},
        ReorderCase{"StatedSizePastSource", {3}, 5, {"x"}, {"x"}, kReorderOutOfRange},
        ReorderCase{"NoIndexes", {}, 3, {"x"}, {"x"}, kReorderDone},
        ReorderCase{"NoIndexesNoSource", {}, 0, {"x"}, {"x"}, kReorderOutOfRange},
        ReorderCase{"LowestStatedSize", {0}, INT_MIN, {"x"}, {"x"}, kReorderOutOfRange}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxu_multi_str_reorder, SameArrayReadsReplacedStrings) {
  QueryLog log;
  CZQVStringArray array = ArrayOf({"a", "b"});
  MockHostObject object(log);
  object.Answer(QUERY_STRING_ARRAY, &array);
  const int order[] = {1, 0};
  EXPECT_EQ(kxu_multi_str_reorder(2, &object, order, 2, &object), 1);
  EXPECT_EQ(TextsOf(array), (Texts{"b", "b"}));
}

TEST(kxu_multi_str_reorder, MissingObjectsOrArrays) {
  QueryLog log;
  CZQVStringArray array = ArrayOf({"a", "b"});
  MockHostObject object(log);
  MockHostObject empty(log);
  object.Answer(QUERY_STRING_ARRAY, &array);
  const int order[] = {1, 0};
  EXPECT_EQ(kxu_multi_str_reorder(2, nullptr, order, 2, &object), kResultMissingArgument);
  EXPECT_EQ(kxu_multi_str_reorder(2, &object, nullptr, 2, &object), kResultMissingArgument);
  EXPECT_EQ(kxu_multi_str_reorder(2, &object, order, 2, nullptr), kResultMissingArgument);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(kxu_multi_str_reorder(2, &empty, order, 2, &object), kResultMissingArgument);
  EXPECT_EQ(kxu_multi_str_reorder(2, &object, order, 2, &empty), kResultMissingArgument);
  EXPECT_EQ(TextsOf(array), (Texts{"a", "b"}));
}

}  // namespace
