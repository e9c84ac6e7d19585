// The framework's array: its layout and growth steps as a host module reads
// them, then random sequences of the families' calls (with a fixed seed)
// checked against std::vector, for numbers and for strings (which must
// survive being moved as raw bytes).
#include <kxutils96/platform/framework/afx_coll.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "support/caught_exception.h"

namespace {

using kxu::test::Caught;

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
  const ArrayWords words = WordsOf(array);
  EXPECT_EQ(words.data, array.GetData());
  EXPECT_EQ(words.size, 11);
  EXPECT_EQ(words.capacity, 13);  // one step of 3
  EXPECT_EQ(words.growBy, 3);
  EXPECT_NE(words.vtable, WordsOf(CStringArray()).vtable);
  array.SetSize(2);
  EXPECT_EQ(WordsOf(array).capacity, 13);  // shrinking keeps the storage
  array.RemoveAll();
  EXPECT_EQ(WordsOf(array).data, nullptr);
  EXPECT_EQ(WordsOf(array).capacity, 0);
  // Without a step, Add grows by an eighth of the count, between 4 and 1024.
  for (const auto& [startSize, capacityAfterAdd] :
       {std::pair<INT_PTR, INT_PTR>{0, 4}, {31, 35}, {100, 112}, {8192, 9216}, {16000, 17024}}) {
    array.RemoveAll();
    array.SetSize(startSize, 0);
    array.Add(7);
    EXPECT_EQ(WordsOf(array).capacity, capacityAfterAdd) << startSize;
  }
}

template <class Array>
class CArrayTest : public ::testing::Test {};
using ArrayTypes = ::testing::Types<CArray<int>, CStringArray>;
TYPED_TEST_SUITE(CArrayTest, ArrayTypes);

template <class T>
T ValueOf(int n) {
  if constexpr (std::is_same_v<T, int>) {
    return n;
  } else {
    return T(std::u16string(static_cast<std::size_t>(n % 7), static_cast<char16_t>(u'a' + n % 26))
                 .c_str());
  }
}

// The calls the families make, against std::vector; an argument may be an
// element of the array itself, and a bad index or size raises.
TYPED_TEST(CArrayTest, BehavesLikeAVectorUnderRandomOperations) {
  using Array = TypeParam;
  using T = std::remove_cvref_t<decltype(std::declval<Array&>()[0])>;
  std::mt19937 rng(96);
  auto pick = [&](INT_PTR lo, INT_PTR hi) {
    return std::uniform_int_distribution<INT_PTR>(lo, hi)(rng);
  };
  for (int round = 0; round < 200; ++round) {
    Array array;
    std::vector<T> ref;
    for (int step = 0; step < 30; ++step) {
      const INT_PTR size = static_cast<INT_PTR>(ref.size());
      const INT_PTR i = pick(-1, size + 2), n = pick(-1, 3);
      const bool inside = i >= 0 && i < size;
      const T value = ValueOf<T>(static_cast<int>(pick(0, 99)));
      const T& arg = inside && pick(0, 1) == 1 ? array[i] : value;
      const bool bad[] = {false, i < 0 || n < 0 || i + n > size, i < 0, !inside, false};
      const std::function<void()> calls[][2] = {
          {[&] { EXPECT_EQ(array.Add(arg), size); }, [&] { ref.push_back(arg); }},
          {[&] { array.RemoveAt(i, n); }, [&] { ref.erase(ref.begin() + i, ref.begin() + i + n); }},
          {[&] { array.SetSize(i); }, [&] { ref.resize(static_cast<std::size_t>(i)); }},
          {[&] { array.ElementAt(i) = value; }, [&] { ref[static_cast<std::size_t>(i)] = value; }},
          {[&] {
             Array other;
             other.Copy(array);
             other.Copy(other);
             array.RemoveAll();
             array.Copy(other);
           },
           [] {}},
      };
      const auto op = static_cast<std::size_t>(pick(0, std::size(calls) - 1));
      if (bad[op]) {
        EXPECT_TRUE(Caught<CInvalidArgException>(calls[op][0])) << "op " << op;
      } else {
        calls[op][1]();  // first, while an argument from the array is still in place
        calls[op][0]();
      }
      ASSERT_EQ(std::vector<T>(array.GetData(), array.GetData() + array.GetSize()), ref)
          << "op " << op << " step " << step;
    }
  }
}

}  // namespace
