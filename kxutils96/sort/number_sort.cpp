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
#include <numeric>
#include <type_traits>
#include <utility>

#include <kxutils96/platform/cpu/unsigned_bits.h>
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

  // The value whose key `key` is: the value itself for every value but -0
  // (+0's key) and the NaNs (one key for all).
  static T ValueOf(Key key) {
    const Key ascending = kDescending ? static_cast<Key>(~key) : key;
    if constexpr (std::is_floating_point_v<T>) {
      if constexpr (kMissing != Missing::kByValue) {
        if (ascending == (kMissing == Missing::kLow ? Key{0} : ~Key{0}))
          return static_cast<T>(NANUM);
      }
      return std::bit_cast<T>((ascending & kSignBit) != 0 ? static_cast<Key>(ascending ^ kSignBit)
                                                          : static_cast<Key>(~ascending));
    } else if constexpr (std::is_signed_v<T>) {
      return static_cast<T>(ascending ^ kSignBit);
    } else {
      return static_cast<T>(ascending);
    }
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

// Byte `d` (0 the lowest) of `key`.
template <class Key>
std::size_t Digit(Key key, std::size_t d) {
  if constexpr (sizeof(Key) > sizeof(std::size_t)) {
    // Out of one 32-bit half: a 32-bit processor shifts a 64-bit key by a
    // variable count only with two shifts and a branch.
    const auto half = static_cast<std::uint32_t>(d < 4 ? key : key >> 32);
    return (half >> (8 * (d % 4))) & 0xFF;
  } else {
    return static_cast<std::size_t>(key >> (8 * d)) & 0xFF;
  }
}

// The elements of one buffer, as raw bytes: the caller's values, or their
// keys (kAsKeys), with the index entries that go with them (null when none).
// A buffer of values may hold keys for a while: both are sizeof(T) bytes.
template <class T, class Order, bool kAsKeys>
struct Lane {
  using Key = typename Order::Key;
  static constexpr bool kHoldsKeys = kAsKeys;

  unsigned char* bytes;
  int* index;

  template <class U>
  U Load(std::size_t i) const {
    U element;
    std::memcpy(&element, bytes + i * sizeof(U), sizeof(U));
    return element;
  }
  template <class U>
  void Store(std::size_t i, U element) const {
    std::memcpy(bytes + i * sizeof(U), &element, sizeof(U));
  }

  Key KeyAt(std::size_t i) const {
    if constexpr (kAsKeys) {
      return Load<Key>(i);
    } else {
      return Order::Of(Load<T>(i));
    }
  }
  // Byte `d` of element i's key. From a key wider than the machine word only
  // the 32-bit half that holds the byte is read: the element moves as a
  // whole (one 8-byte move), and only that half needs a register.
  std::size_t DigitAt(std::size_t i, std::size_t d) const {
    if constexpr (kAsKeys && sizeof(Key) > sizeof(std::size_t)) {
      const std::size_t nHalf = d / 4 ^ (std::endian::native == std::endian::big ? 1 : 0);
      std::uint32_t half;
      std::memcpy(&half, bytes + i * sizeof(Key) + nHalf * sizeof half, sizeof half);
      return (half >> (8 * (d % 4))) & 0xFF;
    } else {
      return Digit(KeyAt(i), d);
    }
  }
  // Puts element i of `from` at `slot`.
  template <class From>
  void Put(std::size_t slot, const From& from, std::size_t i) const {
    if constexpr (kAsKeys == From::kHoldsKeys) {
      std::memcpy(bytes + slot * sizeof(T), from.bytes + i * sizeof(T), sizeof(T));
    } else if constexpr (kAsKeys) {
      Store(slot, from.KeyAt(i));
    } else {
      Store(slot, Order::ValueOf(from.KeyAt(i)));
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
    if (const Outcome outcome = CountingSortOfFewKeys(); outcome != Outcome::kManyKeys)
      return outcome == Outcome::kSorted;
    Scratch<T> values(m_n);
    Scratch<int> index(m_index != nullptr ? m_n : 0);
    if (values.Get() == nullptr || (m_index != nullptr && index.Get() == nullptr)) return false;
    RadixSort(reinterpret_cast<unsigned char*>(values.Get()), index.Get());
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

  static constexpr std::size_t kDigits = sizeof(Key);

  // At most this many distinct keys are sorted by counting them.
  static constexpr std::size_t kFewKeys = 256;

  // The distinct keys met so far, at most kFewKeys, numbered in the order
  // they were met and found through an open-addressing hash table.
  class FewKeys {
   public:
    // The number of `key`, entered when new; kFewKeys when it is new and
    // the table holds kFewKeys keys already.
    std::size_t NumberOf(Key key) {
      for (std::size_t slot = SlotOf(key);; slot = (slot + 1) % kSlots) {
        const std::uint16_t entry = m_slots[slot];
        if (entry != 0 && m_keys[entry - 1] == key) return entry - 1u;
        if (entry != 0) continue;
        if (m_nKeys == kFewKeys) return kFewKeys;
        m_keys[m_nKeys] = key;
        m_slots[slot] = static_cast<std::uint16_t>(++m_nKeys);
        return m_nKeys - 1;
      }
    }
    std::size_t Count() const { return m_nKeys; }
    Key KeyOf(std::size_t number) const { return m_keys[number]; }

   private:
    static constexpr std::size_t kSlots = 2 * kFewKeys;

    // The key folded to 32 bits (so that a 32-bit processor multiplies
    // once), scrambled, its top bits picking the slot.
    static std::size_t SlotOf(Key key) {
      auto folded = static_cast<std::uint32_t>(key);
      if constexpr (sizeof(Key) > sizeof(std::uint32_t))
        folded ^= static_cast<std::uint32_t>(key >> 32);
      return (folded * 0x9E3779B1u) >> (32 - std::bit_width(kSlots - 1));
    }

    Key m_keys[kFewKeys] = {};
    std::uint16_t m_slots[kSlots] = {};  // a key's number + 1; 0: empty
    std::size_t m_nKeys = 0;
  };

  enum class Outcome { kSorted, kNoMemory, kManyKeys };

  // A stable counting sort when the keys take at most kFewKeys values: one
  // pass numbers each element's key, a second moves the index entries into
  // the order of their keys, and the values are written key by key from
  // their keys when every value comes back bit for bit from its key (no -0,
  // no NaN), else moved like the index entries. It gives up, changing
  // nothing, as soon as a key past kFewKeys distinct ones appears, and for
  // keys of less than four bytes, which the radix sort passes as often.
  Outcome CountingSortOfFewKeys() {
    if constexpr (kDigits < 4) return Outcome::kManyKeys;
    Scratch<std::uint8_t> numbers(m_n);
    if (numbers.Get() == nullptr) return Outcome::kManyKeys;
    FewKeys keys;
    std::uint32_t offsets[kFewKeys] = {};
    bool bKeysSuffice = true;
    for (std::size_t i = 0; i < m_n; ++i) {
      const T value = m_values[i];
      const Key key = Order::Of(value);
      bKeysSuffice &= std::bit_cast<Key>(Order::ValueOf(key)) == std::bit_cast<Key>(value);
      const std::size_t number = keys.NumberOf(key);
      if (number == kFewKeys) return Outcome::kManyKeys;
      numbers.Get()[i] = static_cast<std::uint8_t>(number);
      ++offsets[number];
    }
    Scratch<T> valuesRoom(bKeysSuffice ? 0 : m_n);
    Scratch<int> indexRoom(m_index != nullptr ? m_n : 0);
    if (valuesRoom.Get() == nullptr || indexRoom.Get() == nullptr) return Outcome::kNoMemory;
    std::uint8_t byOrder[kFewKeys];
    std::iota(byOrder, byOrder + keys.Count(), std::uint8_t{0});
    std::sort(byOrder, byOrder + keys.Count(),
              [&keys](std::uint8_t a, std::uint8_t b) { return keys.KeyOf(a) < keys.KeyOf(b); });
    std::uint32_t sum = 0;
    for (std::size_t k = 0; k < keys.Count(); ++k) sum += std::exchange(offsets[byOrder[k]], sum);
    auto* const valueBytes = reinterpret_cast<unsigned char*>(m_values);
    const Lane<T, Order, false> values{valueBytes, m_index};
    const Lane<T, Order, false> room{reinterpret_cast<unsigned char*>(valuesRoom.Get()),
                                     indexRoom.Get()};
    if (bKeysSuffice) {
      FillByKeys(keys, byOrder, offsets);
      if (m_index != nullptr) MoveByNumbers<false, true>(values, room, numbers.Get(), offsets);
    } else if (m_index != nullptr) {
      MoveByNumbers<true, true>(values, room, numbers.Get(), offsets);
    } else {
      MoveByNumbers<true, false>(values, room, numbers.Get(), offsets);
    }
    if (!bKeysSuffice) std::memcpy(m_values, valuesRoom.Get(), m_n * sizeof(T));
    if (m_index != nullptr) std::memcpy(m_index, indexRoom.Get(), m_n * sizeof(int));
    return Outcome::kSorted;
  }

  // Writes the values of the distinct `keys` in the order `byOrder` gives
  // their numbers, each from its first slot in `starts` to the next one's.
  void FillByKeys(const FewKeys& keys, const std::uint8_t* byOrder,
                  const std::uint32_t* starts) const {
    for (std::size_t k = 0; k < keys.Count(); ++k) {
      const std::size_t nEnd = k + 1 < keys.Count() ? starts[byOrder[k + 1]] : m_n;
      std::fill(m_values + starts[byOrder[k]], m_values + nEnd,
                Order::ValueOf(keys.KeyOf(byOrder[k])));
    }
  }

  // Moves every element (kWithValues) and index entry (kWithIndex) of `from`
  // to the next slot of its key's number in `to`.
  template <bool kWithValues, bool kWithIndex, class Elements>
  void MoveByNumbers(const Elements& from, const Elements& to, const std::uint8_t* numbers,
                     std::uint32_t* offsets) const {
    for (std::size_t i = 0; i < m_n; ++i) {
      const std::uint32_t slot = offsets[numbers[i]]++;
      if constexpr (kWithValues) to.Put(slot, from, i);
      if constexpr (kWithIndex) to.index[slot] = from.index[i];
    }
  }

  // The slots of each byte value, per key byte, and the bytes that differ
  // between elements (the only ones that need a pass), lowest first.
  struct Passes {
    std::uint32_t offsets[kDigits][256];
    std::size_t digits[kDigits];
    std::size_t nDigits;
  };

  // One counting pass for all key bytes, then one stable scatter per byte
  // that differs between elements, alternating between the caller's buffers
  // and the working ones. When every value comes back bit for bit from its
  // key (no -0, no NaN), the passes move keys, computed once, and the last
  // one writes the values back from them; otherwise they move the values and
  // compute each key again.
  void RadixSort(unsigned char* roomBytes, int* roomIndex) {
    Passes passes{};
    bool bKeysSuffice = true;
    for (std::size_t i = 0; i < m_n; ++i) {
      const T value = m_values[i];
      const Key key = Order::Of(value);
      bKeysSuffice &= std::bit_cast<Key>(Order::ValueOf(key)) == std::bit_cast<Key>(value);
      for (std::size_t d = 0; d < kDigits; ++d) ++passes.offsets[d][Digit(key, d)];
    }
    const Key firstKey = KeyAt(m_values, 0);
    for (std::size_t d = 0; d < kDigits; ++d) {
      if (passes.offsets[d][Digit(firstKey, d)] == m_n) continue;  // the same byte everywhere
      std::uint32_t sum = 0;
      for (std::uint32_t& slot : passes.offsets[d]) sum += std::exchange(slot, sum);
      passes.digits[passes.nDigits++] = d;
    }
    auto* const valueBytes = reinterpret_cast<unsigned char*>(m_values);
    const Lane<T, Order, false> values{valueBytes, m_index};
    const Lane<T, Order, false> valuesRoom{roomBytes, roomIndex};
    const Lane<T, Order, true> keys{valueBytes, m_index};
    const Lane<T, Order, true> keysRoom{roomBytes, roomIndex};
    for (std::size_t pass = 0; pass < passes.nDigits; ++pass) {
      std::uint32_t* const offsets = passes.offsets[passes.digits[pass]];
      const std::size_t d = passes.digits[pass];
      const bool bToRoom = pass % 2 == 0;
      if (!bKeysSuffice) {
        bToRoom ? Scatter(values, valuesRoom, offsets, d) : Scatter(valuesRoom, values, offsets, d);
      } else if (pass == 0) {
        Scatter(values, keysRoom, offsets, d);
      } else if (bToRoom) {
        Scatter(keys, keysRoom, offsets, d);
      } else if (pass + 1 == passes.nDigits) {
        Scatter(keysRoom, values, offsets, d);
      } else {
        Scatter(keysRoom, keys, offsets, d);
      }
    }
    if (passes.nDigits % 2 == 0) return;
    bKeysSuffice ? CopyBack(keysRoom, values) : CopyBack(valuesRoom, values);
  }

  // Moves every element (and index entry) of `from` to the next slot of its
  // byte `d` in `to`.
  template <class From, class To>
  void Scatter(const From& from, const To& to, std::uint32_t* offsets, std::size_t d) const {
    if (m_index != nullptr) {
      Scatter<true>(from, to, offsets, d);
    } else {
      Scatter<false>(from, to, offsets, d);
    }
  }
  template <bool kWithIndex, class From, class To>
  void Scatter(const From& from, const To& to, std::uint32_t* offsets, std::size_t d) const {
    for (std::size_t i = 0; i < m_n; ++i) {
      const std::uint32_t slot = offsets[from.DigitAt(i, d)]++;
      to.Put(slot, from, i);
      if constexpr (kWithIndex) to.index[slot] = from.index[i];
    }
  }

  // Puts the elements of `from` into the caller's buffers, in order.
  template <class From, class To>
  void CopyBack(const From& from, const To& to) const {
    for (std::size_t i = 0; i < m_n; ++i) to.Put(i, from, i);
    if (m_index != nullptr) std::memcpy(m_index, from.index, m_n * sizeof(int));
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
