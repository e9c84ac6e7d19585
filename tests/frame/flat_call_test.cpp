// Every flat export that takes host objects, as one table of its call shape:
// which objects it asks (string or integer query), in parameter order, and
// what a null object or one that yields no array gives. The families' own
// tests then call the native layer only.
#include <kxutils96/data/discrete_frequencies.h>
#include <kxutils96/data/remove_unchanged_items.h>
#include <kxutils96/files/directories.h>
#include <kxutils96/files/text_file_lines.h>
#include <kxutils96/format/transforms/multi_str_reorder.h>
#include <kxutils96/frame/flat_call.h>
#include <kxutils96/tokens/csv_line.h>
#include <kxutils96/tokens/join_tokens.h>
#include <kxutils96/tokens/key_values.h>
#include <kxutils96/tokens/numeric_suffix.h>
#include <kxutils96/tokens/separate_by_str.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <set>
#include <vector>

#include "support/mock_host_object.h"

namespace {

using namespace kxu::test;

enum class OnNull { kPassed, kRefusedBeforeAsking, kRefusedInTurn };
enum class OnMissing { kPassed, kRefusedInTurn, kRefusedAfterAll };

struct ObjectShape {
  int nQuery;  // QUERY_STRING_ARRAY or QUERY_INT_ARRAY
  OnNull onNull;
  OnMissing onMissing;
};

struct ExportShape {
  std::vector<ObjectShape> objects;
  std::function<int(HostObject* const*)> call;  // the objects in parameter order
};

constexpr int S = QUERY_STRING_ARRAY, I = QUERY_INT_ARRAY;
constexpr ObjectShape kPassThrough{S, OnNull::kPassed, OnMissing::kPassed};
constexpr ObjectShape kGuarded{S, OnNull::kRefusedBeforeAsking, OnMissing::kPassed};
constexpr ObjectShape kStrict{S, OnNull::kRefusedInTurn, OnMissing::kRefusedInTurn};

const char kMissingFolder[] = "/no/such/folder/for/kxu";
const int kOrder[] = {0};
CStringUTF8 g_strResult;
double g_frequencies[4];
int g_nCount;

const ExportShape kExports[] = {
    {{kGuarded}, [](auto p) { return kxu_separate_by_str("a,b", p[0], ","); }},
    {{kGuarded}, [](auto p) { return kxu_set_tokens_by_str(&g_strResult, p[0], ","); }},
    {{kPassThrough}, [](auto p) { return kxu_tokenize_one_csv_line("p,q", p[0]); }},
    {{kPassThrough},
     [](auto p) { return kxu_separate_char_with_numeric_suffix("AB1", p[0], "A", "B"); }},
    {{kPassThrough, kPassThrough},
     [](auto p) { return kxu_separate_key_values("a=1", p[0], p[1], ';'); }},
    {{kPassThrough, kPassThrough},
     [](auto p) { return kxu_make_key_values_str(&g_strResult, p[0], p[1], ';'); }},
    {{{S, OnNull::kRefusedBeforeAsking, OnMissing::kRefusedAfterAll},
      {S, OnNull::kRefusedBeforeAsking, OnMissing::kRefusedAfterAll}},
     [](auto p) { return kxu_multi_str_reorder(0, p[0], kOrder, 1, p[1]); }},
    {{kPassThrough}, [](auto p) { return kxu_read_text_file_lines(kMissingFolder, p[0], 0); }},
    {{kPassThrough, kPassThrough},
     [](auto p) { return kxu_copy_directory(kMissingFolder, kMissingFolder, 1, p[0], p[1], 0); }},
    {{kPassThrough}, [](auto p) { return kxu_delete_files(kMissingFolder, "*.*", p[0]); }},
    {{kStrict, kStrict},
     [](auto p) { return kxu_discrete_frequencies(p[0], p[1], g_frequencies, &g_nCount, 0); }},
    {{{I, OnNull::kRefusedBeforeAsking, OnMissing::kPassed},
      {S, OnNull::kRefusedBeforeAsking, OnMissing::kRefusedInTurn},
      {I, OnNull::kRefusedBeforeAsking, OnMissing::kPassed},
      {S, OnNull::kRefusedBeforeAsking, OnMissing::kRefusedInTurn},
      {S, OnNull::kPassed, OnMissing::kRefusedInTurn}},
     [](auto p) { return kxu_remove_unchanged_items_by_id(p[0], p[1], p[2], p[3], p[4]); }},
};

// One call with every object answering but `nMissing` (none for -1), and
// object `nNull` passed as a null pointer (none for -1).
struct Call {
  int nResult;
  std::vector<int> asked;  // indexes of the objects asked, in order
};

Call CallWith(const ExportShape& shape, int nNull, int nMissing) {
  QueryLog log;
  std::deque<MockHostObject> objects;
  std::vector<HostObject*> pointers;
  CZQVStringArray strings;
  CArray<int, int> ints;
  for (int i = 0; i < static_cast<int>(shape.objects.size()); ++i) {
    const int nQuery = shape.objects[static_cast<std::size_t>(i)].nQuery;
    MockHostObject& object = objects.emplace_back(log);
    object.Answer(nQuery, i == nMissing ? nullptr
                          : nQuery == S ? static_cast<void*>(&strings)
                                        : static_cast<void*>(&ints));
    pointers.push_back(i == nNull ? nullptr : &object);
  }
  Call call{shape.call(pointers.data()), {}};
  std::set<intptr_t> records;
  for (const auto& query : log) {
    const auto i = std::find(pointers.begin(), pointers.end(), query.pObject) - pointers.begin();
    call.asked.push_back(static_cast<int>(i));
    EXPECT_EQ(query.nQuery, shape.objects.at(static_cast<std::size_t>(i)).nQuery) << "object " << i;
    // An integer query hands a zero-filled record of its own; a string query nothing.
    EXPECT_EQ(query.nParam != 0, query.nQuery == I);
    EXPECT_TRUE(query.nQuery == S || records.insert(query.nParam).second);
  }
  return call;
}

// The indexes below nEnd but nSkipped.
std::vector<int> Indexes(int nEnd, int nSkipped = -1) {
  std::vector<int> indexes;
  for (int i = 0; i < nEnd; ++i)
    if (i != nSkipped) indexes.push_back(i);
  return indexes;
}

TEST(FlatCallShapes, EachExportAsksItsObjectsInOrderAndTreatsGapsByItsShape) {
  for (const ExportShape& shape : kExports) {
    SCOPED_TRACE(testing::Message() << "export " << &shape - kExports << " of the table");
    const int n = static_cast<int>(shape.objects.size());
    EXPECT_EQ(CallWith(shape, -1, -1).asked, Indexes(n));
    for (int k = 0; k < n; ++k) {
      const ObjectShape& object = shape.objects[static_cast<std::size_t>(k)];
      const Call withNull = CallWith(shape, k, -1);
      const Call withMissing = CallWith(shape, -1, k);
      SCOPED_TRACE(testing::Message() << "object " << k);
      EXPECT_EQ(withNull.asked, Indexes(object.onNull == OnNull::kPassed          ? n
                                        : object.onNull == OnNull::kRefusedInTurn ? k
                                                                                  : 0,
                                        k));
      EXPECT_EQ(withMissing.asked,
                Indexes(object.onMissing == OnMissing::kRefusedInTurn ? k + 1 : n));
      if (object.onNull != OnNull::kPassed) {
        EXPECT_EQ(withNull.nResult, kxu::frame::kResultMissingArgument);
      }
      if (object.onMissing != OnMissing::kPassed) {
        EXPECT_EQ(withMissing.nResult, kxu::frame::kResultMissingArgument);
      }
    }
  }
}

}  // namespace
