#include <kxutils96/platform/framework/afx_coll.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/caught_exception.h"

namespace {

using kxu::test::Caught;

std::vector<int> Values(const CArray<int>& array) {
  return {array.GetData(), array.GetData() + array.GetSize()};
}

std::vector<std::u16string> Values(const CStringArray& array) {
  std::vector<std::u16string> values;
  for (INT_PTR i = 0; i < array.GetSize(); ++i) {
    values.emplace_back(array[i].GetString(), static_cast<size_t>(array[i].GetLength()));
  }
  return values;
}

void Fill(CArray<int>& array, const std::vector<int>& values) {
  array.RemoveAll();
  for (int value : values) array.Add(value);
}

// The array's words as a host module sees them: virtual table, element
// address, count, capacity, growth step.
struct ArrayWords {
  const void* vtable;
  const void* data;
  INT_PTR size;
  INT_PTR capacity;
  INT_PTR growBy;
};

template <class Array>
ArrayWords WordsOf(const Array& array) {
  static_assert(sizeof(Array) == sizeof(ArrayWords), "CArray must hold exactly five words");
  ArrayWords words;
  std::memcpy(&words, reinterpret_cast<const unsigned char*>(&array), sizeof words);
  return words;
}

// ---------------------------------------------------------------------------
// Layout and growth

TEST(CArrayLayout, WordsAfterTheVtableAreDataCountCapacityAndStep) {
  CArray<int> array;
  EXPECT_EQ(WordsOf(array).data, nullptr);
  EXPECT_EQ(WordsOf(array).size, 0);
  EXPECT_EQ(WordsOf(array).capacity, 0);
  EXPECT_EQ(WordsOf(array).growBy, 0);

  array.SetSize(10, 3);
  ArrayWords words = WordsOf(array);
  EXPECT_EQ(words.data, array.GetData());
  EXPECT_EQ(words.size, 10);
  EXPECT_EQ(words.capacity, 10);
  EXPECT_EQ(words.growBy, 3);

  array.Add(1);
  words = WordsOf(array);
  EXPECT_EQ(words.size, 11);
  EXPECT_EQ(words.capacity, 13);  // one step of 3
  EXPECT_EQ(words.data, array.GetData());

  CArray<int> other;
  EXPECT_NE(words.vtable, nullptr);
  EXPECT_EQ(words.vtable, WordsOf(other).vtable);
  EXPECT_NE(WordsOf(CStringArray()).vtable, words.vtable);
}

struct GrowthCase {
  INT_PTR startSize;
  INT_PTR capacityAfterAdd;  // automatic step: an eighth of the count, 4 to 1024
};

class AutomaticGrowthTest : public testing::TestWithParam<GrowthCase> {};

TEST_P(AutomaticGrowthTest, AddGrowsByTheFrameworkStep) {
  CArray<int> array;
  array.SetSize(GetParam().startSize);
  EXPECT_EQ(WordsOf(array).capacity, GetParam().startSize);
  array.Add(7);
  EXPECT_EQ(WordsOf(array).capacity, GetParam().capacityAfterAdd);
  EXPECT_EQ(array[GetParam().startSize], 7);
}

INSTANTIATE_TEST_SUITE_P(CArray, AutomaticGrowthTest,
                         testing::Values(GrowthCase{0, 4}, GrowthCase{31, 35}, GrowthCase{100, 112},
                                         GrowthCase{8192, 9216}, GrowthCase{16000, 17024}));

TEST(CArrayLayout, RemoveAllFreesTheStorage) {
  CStringArray array;
  array.Add(u"one");
  array.RemoveAll();
  const ArrayWords words = WordsOf(array);
  EXPECT_EQ(words.data, nullptr);
  EXPECT_EQ(words.size, 0);
  EXPECT_EQ(words.capacity, 0);
  EXPECT_TRUE(array.IsEmpty());
  EXPECT_EQ(array.GetUpperBound(), -1);
}

// ---------------------------------------------------------------------------
// SetSize

TEST(CArraySetSize, GrowsWithValueInitialisedElementsAndShrinks) {
  CArray<int> array;
  array.SetSize(5);
  EXPECT_EQ(Values(array), std::vector<int>(5, 0));
  for (INT_PTR i = 0; i < 5; ++i) array[i] = 7;
  array.SetSize(2);
  EXPECT_EQ(array.GetCount(), 2);
  EXPECT_EQ(WordsOf(array).capacity, 5);  // shrinking keeps the storage
  array.SetSize(6);                       // the old 7s in the storage must not come back
  EXPECT_EQ(Values(array), (std::vector<int>{7, 7, 0, 0, 0, 0}));
  array.SetSize(0);
  EXPECT_TRUE(array.IsEmpty());
}

TEST(CArraySetSize, StringsAreCreatedEmptyAndDestroyedOnShrink) {
  CStringArray array;
  array.SetSize(3);
  EXPECT_EQ(Values(array), (std::vector<std::u16string>{u"", u"", u""}));
  array[0] = u"zero";
  array[1] = u"one";
  array[2] = u"two";
  array.SetSize(1);
  array.SetSize(3);
  EXPECT_EQ(Values(array), (std::vector<std::u16string>{u"zero", u"", u""}));
}

TEST(CArraySetSize, NegativeSizeIsAnInvalidArgument) {
  CArray<int> array;
  Fill(array, {1, 2});
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { array.SetSize(-1); }));
  EXPECT_EQ(Values(array), (std::vector<int>{1, 2}));
}

// ---------------------------------------------------------------------------
// Add and SetAtGrow

TEST(CArrayAdd, ReturnsTheIndex) {
  CArray<int> array;
  EXPECT_EQ(array.Add(10), 0);
  EXPECT_EQ(array.Add(20), 1);
  EXPECT_EQ(Values(array), (std::vector<int>{10, 20}));
}

TEST(CArrayAdd, AnElementOfTheSameArraySurvivesTheGrowth) {
  CStringArray strings;
  strings.Add(u"first element, long enough to live on the heap");
  CArray<int> numbers;
  numbers.Add(42);
  for (int i = 0; i < 200; ++i) {  // many of these Adds move the storage
    strings.Add(strings[0]);
    numbers.Add(numbers[numbers.GetUpperBound()]);
  }
  EXPECT_EQ(Values(strings),
            std::vector<std::u16string>(201, u"first element, long enough to live on the heap"));
  EXPECT_EQ(Values(numbers), std::vector<int>(201, 42));
}

TEST(CArrayAdd, SetAtGrowFillsTheGapWithDefaults) {
  CStringArray array;
  array.Add(u"a");
  array.SetAtGrow(3, array[0]);
  EXPECT_EQ(Values(array), (std::vector<std::u16string>{u"a", u"", u"", u"a"}));
  array.SetAtGrow(1, u"b");
  EXPECT_EQ(Values(array), (std::vector<std::u16string>{u"a", u"b", u"", u"a"}));
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { array.SetAtGrow(-1, u"x"); }));
}

// ---------------------------------------------------------------------------
// InsertAt

struct InsertCase {
  const char* name;
  INT_PTR index;
  INT_PTR count;
  std::vector<int> expected;  // after inserting `count` 9s into {1, 2, 3}
};

class InsertAtTest : public testing::TestWithParam<InsertCase> {};

TEST_P(InsertAtTest, PlacesCopiesWhereAsked) {
  CArray<int> array;
  Fill(array, {1, 2, 3});
  array.InsertAt(GetParam().index, 9, GetParam().count);
  EXPECT_EQ(Values(array), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(CArray, InsertAtTest,
                         testing::Values(InsertCase{"Front", 0, 1, {9, 1, 2, 3}},
                                         InsertCase{"MiddleTwice", 1, 2, {1, 9, 9, 2, 3}},
                                         InsertCase{"End", 3, 1, {1, 2, 3, 9}},
                                         InsertCase{"PastTheEnd", 5, 2, {1, 2, 3, 0, 0, 9, 9}},
                                         InsertCase{"NothingToInsert", 1, 0, {1, 2, 3}}),
                         [](const testing::TestParamInfo<InsertCase>& info) {
                           return info.param.name;
                         });

TEST(CArrayInsertAt, StringsMoveUpIntact) {
  CStringArray array;
  for (const char16_t* text : {u"zero", u"one", u"two"}) array.Add(text);
  array.InsertAt(1, u"new", 2);
  EXPECT_EQ(Values(array), (std::vector<std::u16string>{u"zero", u"new", u"new", u"one", u"two"}));
}

TEST(CArrayInsertAt, AnElementOfTheSameArrayIsCopiedFirst) {
  CStringArray array;
  for (const char16_t* text : {u"zero", u"one", u"two"}) array.Add(text);
  array.InsertAt(0, array[2], 3);
  EXPECT_EQ(Values(array),
            (std::vector<std::u16string>{u"two", u"two", u"two", u"zero", u"one", u"two"}));
  array.InsertAt(8, array[0]);
  EXPECT_EQ(array.GetSize(), 9);
  EXPECT_EQ(Values(array)[8], u"two");
  EXPECT_EQ(Values(array)[7], u"");
}

TEST(CArrayInsertAt, NegativeIndexOrCountIsAnInvalidArgument) {
  CArray<int> array;
  Fill(array, {1, 2});
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { array.InsertAt(-1, 5); }));
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { array.InsertAt(0, 5, -1); }));
  EXPECT_EQ(Values(array), (std::vector<int>{1, 2}));
}

// ---------------------------------------------------------------------------
// RemoveAt

TEST(CArrayRemoveAt, ClosesTheGap) {
  CArray<int> array;
  Fill(array, {0, 1, 2, 3, 4, 5});
  array.RemoveAt(1, 2);
  EXPECT_EQ(Values(array), (std::vector<int>{0, 3, 4, 5}));
  array.RemoveAt(3);
  EXPECT_EQ(Values(array), (std::vector<int>{0, 3, 4}));
  array.RemoveAt(3, 0);  // an empty range at the end is inside
  array.RemoveAt(0, 3);
  EXPECT_TRUE(array.IsEmpty());
}

TEST(CArrayRemoveAt, StringsAfterTheGapStayIntact) {
  CStringArray array;
  for (const char16_t* text : {u"zero", u"one", u"two", u"three"}) array.Add(text);
  array.RemoveAt(1);
  EXPECT_EQ(Values(array), (std::vector<std::u16string>{u"zero", u"two", u"three"}));
}

TEST(CArrayRemoveAt, RangesOutsideTheArrayAreInvalidArguments) {
  const std::vector<std::pair<INT_PTR, INT_PTR>> ranges = {{-1, 1}, {3, 1},  {0, 4},
                                                           {2, 2},  {1, -1}, {4, 0}};
  for (const auto& range : ranges) {
    SCOPED_TRACE(testing::Message() << "RemoveAt(" << range.first << ", " << range.second << ")");
    CArray<int> array;
    Fill(array, {1, 2, 3});
    EXPECT_TRUE(Caught<CInvalidArgException>([&] { array.RemoveAt(range.first, range.second); }));
    EXPECT_EQ(Values(array), (std::vector<int>{1, 2, 3}));
  }
}

// ---------------------------------------------------------------------------
// Element access

TEST(CArrayAccess, IndexesOutsideTheArrayAreInvalidArguments) {
  CArray<int> array;
  Fill(array, {1, 2, 3});
  const CArray<int>& constant = array;
  struct Access {
    const char* name;
    std::function<void(INT_PTR)> at;
  };
  const std::vector<Access> accesses = {
      {"GetAt", [&](INT_PTR i) { array.GetAt(i); }},
      {"const GetAt", [&](INT_PTR i) { constant.GetAt(i); }},
      {"SetAt", [&](INT_PTR i) { array.SetAt(i, 0); }},
      {"ElementAt", [&](INT_PTR i) { array.ElementAt(i); }},
      {"const ElementAt", [&](INT_PTR i) { constant.ElementAt(i); }},
      {"operator[]", [&](INT_PTR i) { array[i]; }},
      {"const operator[]", [&](INT_PTR i) { constant[i]; }},
  };
  for (const Access& access : accesses) {
    for (INT_PTR index : {INT_PTR{-1}, INT_PTR{3}, INT_PTR{1000}}) {
      SCOPED_TRACE(testing::Message() << access.name << "(" << index << ")");
      EXPECT_TRUE(Caught<CInvalidArgException>([&] { access.at(index); }));
    }
    access.at(2);  // the last element is inside
  }
  EXPECT_EQ(Values(array), (std::vector<int>{1, 2, 0}));  // SetAt(2, 0) was the only change
  CArray<int> empty;
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { empty.GetAt(0); }));
}

TEST(CArrayAccess, SetAtAndElementAtChangeTheElement) {
  CStringArray array;
  array.SetSize(2);
  array.SetAt(0, u"set");
  array.ElementAt(1) = u"element";
  EXPECT_EQ(Values(array), (std::vector<std::u16string>{u"set", u"element"}));
  EXPECT_EQ(array.GetAt(1), CString(u"element"));
}

// ---------------------------------------------------------------------------
// Copy and Append

TEST(CArrayCopy, ReplacesTheContent) {
  CStringArray source;
  source.Add(u"a");
  source.Add(u"b");
  CStringArray target;
  for (const char16_t* text : {u"x", u"y", u"z"}) target.Add(text);
  target.Copy(source);
  EXPECT_EQ(Values(target), (std::vector<std::u16string>{u"a", u"b"}));
  source[0] = u"changed";  // the copies are independent
  EXPECT_EQ(Values(target)[0], u"a");
  target.Copy(target);
  EXPECT_EQ(Values(target), (std::vector<std::u16string>{u"a", u"b"}));
  target.Copy(CStringArray());
  EXPECT_TRUE(target.IsEmpty());
}

TEST(CArrayAppend, AddsCopiesAndReturnsTheFirstIndex) {
  CArray<int> source;
  Fill(source, {7, 8});
  CArray<int> target;
  Fill(target, {1});
  EXPECT_EQ(target.Append(source), 1);
  EXPECT_EQ(Values(target), (std::vector<int>{1, 7, 8}));
  EXPECT_EQ(target.Append(CArray<int>()), 3);
  EXPECT_EQ(Values(target), (std::vector<int>{1, 7, 8}));
}

TEST(CArrayAppend, AppendingToItselfIsAnInvalidArgument) {
  CArray<int> array;
  Fill(array, {1, 2});
  EXPECT_TRUE(Caught<CInvalidArgException>([&] { array.Append(array); }));
  EXPECT_EQ(Values(array), (std::vector<int>{1, 2}));
}

}  // namespace
