// Filling a script string array from another in a given order (which object is
// asked, and what a missing one gives, is the frame's call-shape table).
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
using kxu::test::ArrayOf;
using kxu::test::MockHostObject;
using kxu::test::QueryLog;
using kxu::test::Texts;
using kxu::test::TextsOf;

TEST(kxu_multi_str_reorder, CopiesInOrderWhenEveryIndexFits) {
  const struct {
    std::vector<int> order;
    int nSrcSize;
    Texts destBefore, expected;
    int nResult;
  } rows[] = {
      {{2, 0, 1}, 3, {"x", "y", "z"}, {"c", "a", "b"}, kReorderDone},
      {{0, 3}, 3, {"x", "y"}, {"x", "y"}, kReorderOutOfRange},
      {{0, -1}, 3, {"x", "y"}, {"x", "y"}, kReorderOutOfRange},
      {{2}, 2, {"x"}, {"x"}, kReorderOutOfRange},  // the stated size limits
      {{0, 1, 2}, 3, {"x", "y"}, {"x", "y"}, kReorderOutOfRange},
      {{3}, 5, {"x"}, {"x"}, kReorderOutOfRange},  // a stated size past the source
      {{}, 3, {"x"}, {"x"}, kReorderDone},
      {{}, 0, {"x"}, {"x"}, kReorderOutOfRange},
      {{0}, INT_MIN, {"x"}, {"x"}, kReorderOutOfRange},  // the size less one overflowed
  };
  for (const auto& row : rows) {
    QueryLog log;
    CZQVStringArray source = ArrayOf({"a", "b", "c"});
    CZQVStringArray dest = ArrayOf(row.destBefore);
    MockHostObject src(log), dst(log);
    src.Answer(QUERY_STRING_ARRAY, &source);
    dst.Answer(QUERY_STRING_ARRAY, &dest);
    const int order0 = 0;
    const int* pnOrder = row.order.empty() ? &order0 : row.order.data();
    EXPECT_EQ(kxu_multi_str_reorder(static_cast<int>(row.order.size()), &dst, pnOrder, row.nSrcSize,
                                    &src),
              row.nResult)
        << row.nSrcSize << " " << row.order.size();
    EXPECT_EQ(TextsOf(dest), row.expected);
    EXPECT_EQ(TextsOf(source), (Texts{"a", "b", "c"}));
  }
}

TEST(kxu_multi_str_reorder, SameArrayReadsReplacedStringsAndANullOrderIsMissing) {
  QueryLog log;
  CZQVStringArray array = ArrayOf({"a", "b"});
  MockHostObject object(log);
  object.Answer(QUERY_STRING_ARRAY, &array);
  const int order[] = {1, 0};
  EXPECT_EQ(kxu_multi_str_reorder(2, &object, nullptr, 2, &object),
            kxu::frame::kResultMissingArgument);
  EXPECT_EQ(kxu_multi_str_reorder(2, &object, order, 2, &object), kReorderDone);
  EXPECT_EQ(TextsOf(array), (Texts{"b", "b"}));
}

}  // namespace
