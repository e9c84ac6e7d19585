// The framework's array: its layout and growth steps as a host module reads
// them. (Its calls are tested through the families that make them.)
#include <kxutils96/platform/framework/afx_coll.h>

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <utility>

namespace {

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

TEST(CArrayLayout, WordsAreVtableDataCountCapacityAndStep) {
  CArray<int> array;
  EXPECT_EQ(WordsOf(array).data, nullptr);
  array.SetSize(10, 3);
  array.Add(1);
  const ArrayWords words = WordsOf(array);  // a capacity of one step of 3
  EXPECT_EQ(std::tuple(words.data, words.size, words.capacity, words.growBy),
            std::tuple(static_cast<const void*>(array.GetData()), 11, 13, 3));
  EXPECT_NE(words.vtable, WordsOf(CStringArray()).vtable);
  array.SetSize(2);
  EXPECT_EQ(WordsOf(array).capacity, 13);  // shrinking keeps the storage
  array.RemoveAll();
  EXPECT_EQ(std::pair(WordsOf(array).data, WordsOf(array).capacity),
            (std::pair<const void*, INT_PTR>(nullptr, 0)));
  // Without a step, Add grows by an eighth of the count, between 4 and 1024.
  for (const auto& [startSize, capacityAfterAdd] :
       {std::pair<INT_PTR, INT_PTR>{0, 4}, {31, 35}, {100, 112}, {8192, 9216}, {16000, 17024}}) {
    array.RemoveAll();
    array.SetSize(startSize, 0);
    array.Add(7);
    EXPECT_EQ(WordsOf(array).capacity, capacityAfterAdd) << startSize;
  }
}

}  // namespace
