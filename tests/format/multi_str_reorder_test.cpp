// Filling a script string array from another in a given order (which object is
// asked, and what a missing one gives, is the frame's call-shape table).
#include <kxutils96/format/transforms/multi_str_reorder.h>
#include <kxutils96/frame/flat_call.h>

#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

#include "support/array_text.h"
#include "support/mock_host_object.h"

namespace {

using namespace kxu::format;
using namespace kxu::test;

TEST(kxu_multi_str_reorder, CopiesInOrderWhenEveryIndexFits) {
  // Order, stated source size, destination size and result; a refused
  // order leaves the destination as it was.
  const std::tuple<std::vector<int>, int, std::size_t, int> rows[] = {
      {{2, 0, 1}, 3, 3, kReorderDone},
      {{0, 3}, 3, 2, kReorderOutOfRange},
      {{0, -1}, 3, 2, kReorderOutOfRange},
      {{2}, 2, 1, kReorderOutOfRange},  // the stated size limits
      {{0, 1, 2}, 3, 2, kReorderOutOfRange},
      {{3}, 5, 1, kReorderOutOfRange},  // a stated size past the source
      {{}, 3, 1, kReorderDone},
      {{}, 0, 1, kReorderOutOfRange},
      {{0}, INT_MIN, 1, kReorderOutOfRange},  // the size less one overflowed
  };
  const Texts kSource = {"a", "b", "c"};
  for (const auto& [order, nSrcSize, nDestSize, nResult] : rows) {
    QueryLog log;
    CZQVStringArray source = ArrayOf(kSource);
    Texts expected = Texts{"x", "y", "z"};
    expected.resize(nDestSize);
    CZQVStringArray dest = ArrayOf(expected);
    MockHostObject src(log, source), dst(log, dest);
    const int order0 = 0;
    const int nOrder = static_cast<int>(order.size());
    EXPECT_EQ(
        kxu_multi_str_reorder(nOrder, &dst, nOrder == 0 ? &order0 : order.data(), nSrcSize, &src),
        nResult)
        << nSrcSize << " " << nOrder;
    for (int i = 0; nResult == kReorderDone && i < nOrder; ++i)
      expected[static_cast<std::size_t>(i)] = kSource[static_cast<std::size_t>(order[i])];
    EXPECT_EQ(TextsOf(dest), expected);
  }
}

}  // namespace
