// The numeric stable sort. Every value maps to an unsigned key of its width
// that orders as the family's rule does (integers with their sign bit
// flipped; floating point by its bits, negatives complemented and positives
// with the sign bit set, -0 as +0, every NaN as one key just above +inf;
// NANUM at 0 or at the top in the missing-value modes that place it); a
// descending sort complements the key. Equal keys are equal values, so any
// stable sort of the keys is a stable sort of the values.
#include <kxutils96/sort/number_sort.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include <kxutils96/platform/unsigned_bits.h>
#include <kxutils96/sort/scratch.h>
#include <kxutils96/sort/sort_family.h>

namespace kxu::sort {

namespace {

// Where the missing-value mode puts NANUM.
enum class Missing { kByValue, kLow, kHigh };

// The order key of T under one (missing-value mode, direction) pair.
template <class T, Missing kMissing, bool kDescending>
struct OrderKey {
  using Key = kxu::platform::UnsignedBitsOf<T>;
  static constexpr Key kSignBit = static_cast<Key>(Key{1} << (8 * sizeof(T) - 1));

  static Key Of(T value) {
    const Key key = Ascending(value);
    return kDescending ? static_cast<Key>(~key) : key;
  }

 private:
  // Every NaN: the key after +inf's.
  static constexpr Key NaNKey() {
    if constexpr (std::is_floating_point_v<T>) {
      return static_cast<Key>((std::bit_cast<Key>(std::numeric_limits<T>::infinity()) | kSignBit) +
                              1);
    } else {
      return 0;
    }
  }

  static Key Ascending(T value) {
    if constexpr (std::is_floating_point_v<T>) {
      if constexpr (kMissing != Missing::kByValue) {
        if (value == static_cast<T>(NANUM)) return kMissing == Missing::kLow ? Key{0} : ~Key{0};
      }
      if (value != value) return NaNKey();
      if (value == 0) return kSignBit;
      const Key bits = std::bit_cast<Key>(value);
      return (bits & kSignBit) != 0 ? static_cast<Key>(~bits) : static_cast<Key>(bits | kSignBit);
    } else if constexpr (std::is_signed_v<T>) {
      return static_cast<Key>(static_cast<Key>(value) ^ kSignBit);
    } else {
      return static_cast<Key>(value);
    }
  }
};

template <class T, class Order>
class NumberSorter {
 public:
  using Key = typename Order::Key;

  NumberSorter(T* values, std::size_t n, int* index) : m_values(values), m_n(n), m_index(index) {}

  bool Sort() {
    if (FinishMonotonicRun()) return true;
    if (m_n < static_cast<std::size_t>(kRadixSortThreshold)) {
      InsertionSort();
      return true;
    }
    Scratch<T> values(m_n);
    Scratch<int> index(m_index != nullptr ? m_n : 0);
    if (values.Get() == nullptr || (m_index != nullptr && index.Get() == nullptr)) return false;
    RadixSort(values.Get(), index.Get());
    return true;
  }

 private:
  static Key KeyAt(const T* values, std::size_t i) { return Order::Of(values[i]); }

  // True when the values already ascend (left as they are) or strictly
  // descend (reversed, which keeps a stable order since no two are equal).
  bool FinishMonotonicRun() {
    std::size_t i = 1;
    while (i < m_n && KeyAt(m_values, i - 1) <= KeyAt(m_values, i)) ++i;
    if (i == m_n) return true;
    if (i > 1) return false;
    while (i < m_n && KeyAt(m_values, i - 1) > KeyAt(m_values, i)) ++i;
    if (i != m_n) return false;
    std::reverse(m_values, m_values + m_n);
    if (m_index != nullptr) std::reverse(m_index, m_index + m_n);
    return true;
  }

  void InsertionSort() {
    for (std::size_t cur = 1; cur < m_n; ++cur) {
      const T value = m_values[cur];
      const Key key = Order::Of(value);
      std::size_t hole = cur;
      for (; hole > 0 && key < KeyAt(m_values, hole - 1); --hole)
        m_values[hole] = m_values[hole - 1];
      if (hole == cur) continue;
      m_values[hole] = value;
      if (m_index != nullptr) {
        const int entry = m_index[cur];
        std::memmove(m_index + hole + 1, m_index + hole, (cur - hole) * sizeof(int));
        m_index[hole] = entry;
      }
    }
  }

  // One counting pass for all key bytes, then one stable scatter per byte
  // that differs between elements, alternating between the caller's buffers
  // and the working ones.
  void RadixSort(T* valuesRoom, int* indexRoom) {
    constexpr std::size_t kDigits = sizeof(Key);
    std::uint32_t counts[kDigits][256] = {};
    for (std::size_t i = 0; i < m_n; ++i) {
      const Key key = KeyAt(m_values, i);
      for (std::size_t d = 0; d < kDigits; ++d) ++counts[d][Digit(key, d)];
    }
    T* from = m_values;
    int* fromIndex = m_index;
    T* to = valuesRoom;
    int* toIndex = indexRoom;
    const Key firstKey = KeyAt(m_values, 0);
    for (std::size_t d = 0; d < kDigits; ++d) {
      std::uint32_t* offsets = counts[d];
      if (offsets[Digit(firstKey, d)] == m_n) continue;  // the same byte everywhere
      std::uint32_t sum = 0;
      for (std::uint32_t& slot : counts[d]) sum += std::exchange(slot, sum);
      if (m_index != nullptr) {
        Scatter<true>(from, fromIndex, to, toIndex, offsets, d);
      } else {
        Scatter<false>(from, fromIndex, to, toIndex, offsets, d);
      }
      std::swap(from, to);
      std::swap(fromIndex, toIndex);
    }
    if (from == m_values) return;
    std::memcpy(m_values, from, m_n * sizeof(T));
    if (m_index != nullptr) std::memcpy(m_index, fromIndex, m_n * sizeof(int));
  }

  static std::size_t Digit(Key key, std::size_t d) {
    if constexpr (sizeof(Key) > sizeof(std::size_t)) {
      // Out of one 32-bit half: a 32-bit processor shifts a 64-bit key by a
      // variable count only with two shifts and a branch.
      const auto half = static_cast<std::uint32_t>(d < 4 ? key : key >> 32);
      return (half >> (8 * (d % 4))) & 0xFF;
    } else {
      return static_cast<std::size_t>(key >> (8 * d)) & 0xFF;
    }
  }

  // Moves every value (and index entry) to the next slot of its byte `d`.
  template <bool kWithIndex>
  void Scatter(const T* from, const int* fromIndex, T* to, int* toIndex, std::uint32_t* offsets,
               std::size_t d) const {
    for (std::size_t i = 0; i < m_n; ++i) {
      const std::uint32_t slot = offsets[Digit(KeyAt(from, i), d)]++;
      to[slot] = from[i];
      if constexpr (kWithIndex) toIndex[slot] = fromIndex[i];
    }
  }

  T* m_values;
  std::size_t m_n;
  int* m_index;
};

template <class T, Missing kMissing, bool kDescending>
bool SortInOrder(T* values, int n, int* index) {
  using Order = OrderKey<T, kMissing, kDescending>;
  return NumberSorter<T, Order>(values, static_cast<std::size_t>(n), index).Sort();
}

template <class T, Missing kMissing>
bool SortWithMissing(T* values, int n, unsigned long flags, int* index) {
  return (flags & SORT_DESCENDING) != 0 ? SortInOrder<T, kMissing, true>(values, n, index)
                                        : SortInOrder<T, kMissing, false>(values, n, index);
}

}  // namespace

template <class T>
bool SortNumbersStably(T* values, int n, unsigned long flags, int* index) {
  if constexpr (std::is_same_v<T, double>) {
    switch (flags & SORT_MISSING_MASK) {
      case SORT_MISSING_LOW:
        return SortWithMissing<T, Missing::kLow>(values, n, flags, index);
      case SORT_MISSING_HIGH:
        return SortWithMissing<T, Missing::kHigh>(values, n, flags, index);
      default:
        break;
    }
  }
  return SortWithMissing<T, Missing::kByValue>(values, n, flags, index);
}

template bool SortNumbersStably(char*, int, unsigned long, int*);
template bool SortNumbersStably(unsigned char*, int, unsigned long, int*);
template bool SortNumbersStably(short*, int, unsigned long, int*);
template bool SortNumbersStably(int*, int, unsigned long, int*);
template bool SortNumbersStably(unsigned int*, int, unsigned long, int*);
template bool SortNumbersStably(long*, int, unsigned long, int*);
template bool SortNumbersStably(unsigned long*, int, unsigned long, int*);
template bool SortNumbersStably(float*, int, unsigned long, int*);
template bool SortNumbersStably(double*, int, unsigned long, int*);
template bool SortNumbersStably(long long*, int, unsigned long, int*);
template bool SortNumbersStably(unsigned long long*, int, unsigned long, int*);

}  // namespace kxu::sort
