#include <kxutils96/frame/flat_call.h>

#include <gtest/gtest.h>

#include "support/mock_host_object.h"

namespace {

using kxu::frame::AnyNull;
using kxu::frame::IntArrayOf;
using kxu::frame::IntArrayRecord;
using kxu::frame::kResultMissingArgument;
using kxu::frame::StrictStringArray;
using kxu::frame::StringArrayOf;
using kxu::test::MockHostObject;
using kxu::test::QueryLog;

// A native function that reports what it was handed.
int CountOrMinusTwo(const char* /*lpcszText*/, CZQVStringArray* pArray) {
  return pArray == nullptr ? -2 : pArray->GetSize();
}

// The three shapes as a flat export writes them.
int PassThroughExport(const char* lpcszText, HostObject* pObject) {
  return CountOrMinusTwo(lpcszText, StringArrayOf(pObject));
}

int GuardedExport(const char* lpcszText, HostObject* pObject, const char* lpcszSep) {
  if (AnyNull(lpcszText, pObject, lpcszSep)) return kResultMissingArgument;
  return CountOrMinusTwo(lpcszText, StringArrayOf(pObject));
}

int StrictExport(HostObject* pFirst, HostObject* pSecond) {
  CZQVStringArray* pFirstArray = nullptr;
  CZQVStringArray* pSecondArray = nullptr;
  if (!StrictStringArray(pFirst, pFirstArray) || !StrictStringArray(pSecond, pSecondArray)) {
    return kResultMissingArgument;
  }
  return pFirstArray->GetSize() + pSecondArray->GetSize();
}

class FlatCallTest : public ::testing::Test {
 protected:
  FlatCallTest() : object(log), other(log) {
    strings.Add("a");
    strings.Add("b");
    object.Answer(QUERY_STRING_ARRAY, &strings);
    other.Answer(QUERY_STRING_ARRAY, &strings);
  }

  QueryLog log;
  CZQVStringArray strings;
  MockHostObject object;
  MockHostObject other;
};

TEST_F(FlatCallTest, PassThroughHandsTheNativeArrayOnWithOneQuery) {
  EXPECT_EQ(PassThroughExport("x", &object), 2);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].pObject, &object);
  EXPECT_EQ(log[0].nQuery, QUERY_STRING_ARRAY);
  EXPECT_EQ(log[0].nParam, 0);
}

TEST_F(FlatCallTest, PassThroughTurnsANullObjectIntoANullArrayWithoutAsking) {
  EXPECT_EQ(PassThroughExport("x", nullptr), -2);
  EXPECT_TRUE(log.empty());
}

TEST_F(FlatCallTest, PassThroughHandsOnAMissingArray) {
  MockHostObject empty(log);
  EXPECT_EQ(PassThroughExport("x", &empty), -2);
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(FlatCallTest, GuardedRejectsEveryNullPointerBeforeAsking) {
  EXPECT_EQ(GuardedExport(nullptr, &object, ","), -1);
  EXPECT_EQ(GuardedExport("x", nullptr, ","), -1);
  EXPECT_EQ(GuardedExport("x", &object, nullptr), -1);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(GuardedExport("x", &object, ","), 2);
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(FlatCallTest, GuardedHandsOnAMissingArrayUntested) {
  MockHostObject empty(log);
  EXPECT_EQ(GuardedExport("x", &empty, ","), -2);
}

TEST_F(FlatCallTest, StrictAsksInParameterOrderAndStopsAtTheFirstGap) {
  EXPECT_EQ(StrictExport(&object, &other), 4);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].pObject, &object);
  EXPECT_EQ(log[1].pObject, &other);

  log.clear();
  MockHostObject empty(log);
  EXPECT_EQ(StrictExport(&empty, &other), -1);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].pObject, &empty);

  log.clear();
  EXPECT_EQ(StrictExport(&object, nullptr), -1);
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(FlatCallTest, IntArrayQueryPassesAZeroFilledRecord) {
  CArray<int, int> ids;
  ids.Add(7);
  ids.Add(9);
  object.Answer(QUERY_INT_ARRAY, &ids);
  IntArrayRecord record;
  CArray<int, int>* pIds = IntArrayOf(&object, record);
  ASSERT_EQ(pIds, &ids);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].nQuery, QUERY_INT_ARRAY);
  EXPECT_EQ(log[0].nParam, reinterpret_cast<intptr_t>(record.bytes));
  for (unsigned char byte : record.bytes) EXPECT_EQ(byte, 0);
  EXPECT_EQ(sizeof(record.bytes), sizeof(CArray<int, int>));
  EXPECT_EQ(IntArrayOf(nullptr, record), nullptr);
  EXPECT_EQ(log.size(), 1u);
}

}  // namespace
