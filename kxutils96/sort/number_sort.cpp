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

  // The bits in which `value` differs from the value its key gives back:
  // none but for -0 and NaNs.
  static Key LostBits(T value, Key key) {
    return static_cast<Key>(std::bit_cast<Key>(ValueOf(key)) ^ std::bit_cast<Key>(value));
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
      return std::bit_cast<T>(static_cast<Key>(ascending ^ SignFlips(~ascending)));
    } else if constexpr (std::is_signed_v<T>) {
      return static_cast<T>(ascending ^ kSignBit);
    } else {
      return static_cast<T>(ascending);
    }
  }

 private:
  // What a value with `bits` is XORed with to become its key, or a key with
  // `~bits` to become its value: all bits for a negative value, the sign bit
  // alone for a positive one. A mask from the sign, not a branch on it, which
  // random signs would mispredict half the time.
  static Key SignFlips(Key bits) {
    return static_cast<Key>((Key{0} - (bits >> (8 * sizeof(T) - 1))) | kSignBit);
  }

  // Every NaN: the key after +inf's.
  static constexpr Key NaNKey() {
    if constexpr (std::is_floating_point_v<T>) {
      return static_cast<Key>((std::bit_cast<Key>(std::numeric_limits<T>::infinity()) | kSignBit) +
                              1);
    } else {
      return 0;
    }
  }

  // For floating point, from the value's bits by integer tests alone, which
  // a 32-bit processor makes on a double without passing it through memory
  // between its integer and floating-point registers. NANUM, neither zero
  // nor NaN, is the only value with its bits.
  static Key Ascending(T value) {
    if constexpr (std::is_floating_point_v<T>) {
      const Key bits = std::bit_cast<Key>(value);
      if constexpr (kMissing != Missing::kByValue) {
        if (bits == std::bit_cast<Key>(static_cast<T>(NANUM)))
          return kMissing == Missing::kLow ? Key{0} : ~Key{0};
      }
      const auto magnitude = static_cast<Key>(bits & ~kSignBit);
      if (magnitude > std::bit_cast<Key>(std::numeric_limits<T>::infinity())) return NaNKey();
      if (magnitude == 0) return kSignBit;
      return static_cast<Key>(bits ^ SignFlips(bits));
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
      InsertionSort(m_values, m_index, m_n);
      return true;
    }
    if (const Outcome outcome = CountingSortOfFewKeys(); outcome != Outcome::kManyKeys)
      return outcome == Outcome::kSorted;
    Scratch<T> values(m_n);
    Scratch<int> index(m_index != nullptr ? m_n : 0);
    if (values.Get() == nullptr || (m_index != nullptr && index.Get() == nullptr)) return false;
    return RadixSort(Side{reinterpret_cast<unsigned char*>(values.Get()), index.Get()});
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

  static void InsertionSort(T* values, int* index, std::size_t n) {
    if (index != nullptr) {
      InsertionSort<true>(values, index, n);
    } else {
      InsertionSort<false>(values, index, n);
    }
  }
  // Each element smaller than the largest before it moves back, with its
  // index entry (kWithIndex), past the larger ones in one loop: the runs it
  // passes are short in every use, too short for a call to move them.
  template <bool kWithIndex>
  static void InsertionSort(T* values, int* index, std::size_t n) {
    if (n < 2) return;
    Key largest = KeyAt(values, 0);
    for (std::size_t cur = 1; cur < n; ++cur) {
      const T value = values[cur];
      const Key key = Order::Of(value);
      if (!(key < largest)) {
        largest = key;
        continue;
      }
      int entry = 0;
      if constexpr (kWithIndex) entry = index[cur];
      std::size_t hole = cur;
      do {
        values[hole] = values[hole - 1];
        if constexpr (kWithIndex) index[hole] = index[hole - 1];
        --hole;
      } while (hole > 0 && key < KeyAt(values, hole - 1));
      values[hole] = value;
      if constexpr (kWithIndex) index[hole] = entry;
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
    Key lost = 0;
    for (std::size_t i = 0; i < m_n; ++i) {
      const T value = m_values[i];
      const Key key = Order::Of(value);
      lost |= Order::LostBits(value, key);
      const std::size_t number = keys.NumberOf(key);
      if (number == kFewKeys) return Outcome::kManyKeys;
      numbers.Get()[i] = static_cast<std::uint8_t>(number);
      ++offsets[number];
    }
    const bool bKeysSuffice = lost == 0;
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

  // The caller's buffers or the working ones, from some element on: the
  // bytes of its values or keys, and its index entries (null when none).
  struct Side {
    unsigned char* bytes;
    int* index;

    Side At(std::size_t first) const {
      return {bytes + first * sizeof(T), index != nullptr ? index + first : nullptr};
    }
  };

  // Calls `op` with `side` seen as holding keys (bAsKeys) or values.
  template <class Op>
  static void WithLane(Side side, bool bAsKeys, Op&& op) {
    if (bAsKeys) {
      op(Lane<T, Order, true>{side.bytes, side.index});
    } else {
      op(Lane<T, Order, false>{side.bytes, side.index});
    }
  }

  // The slots of each byte value, per key byte, and the bytes that differ
  // between elements (the only ones that need a pass), lowest first.
  struct Passes {
    std::uint32_t offsets[kDigits][256];
    std::size_t digits[kDigits];
    std::size_t nDigits;
  };

  // The bits in which the keys of the n elements of `lane` differ.
  template <class Elements>
  static Key VaryingBits(const Elements& lane, std::size_t n) {
    const Key firstKey = lane.KeyAt(0);
    Key varying = 0;
    for (std::size_t i = 1; i < n; ++i) varying |= static_cast<Key>(lane.KeyAt(i) ^ firstKey);
    return varying;
  }

  // The passes that sort the n elements of `lane`, whose keys differ in the
  // bits `varying`: one per key byte that holds such a bit, their counts made
  // in one read (a byte the same everywhere is never counted: counting it
  // would add to one slot again and again, each add waiting for the last)
  // and turned into slots.
  template <class Elements>
  static void PlanPasses(const Elements& lane, std::size_t n, Key varying, Passes& passes) {
    passes.nDigits = 0;
    for (std::size_t d = 0; d < kDigits; ++d) {
      if (Digit(varying, d) == 0) continue;
      std::fill(std::begin(passes.offsets[d]), std::end(passes.offsets[d]), 0);
      passes.digits[passes.nDigits++] = d;
    }
    for (std::size_t i = 0; i < n; ++i) {
      const Key key = lane.KeyAt(i);
      for (std::size_t pass = 0; pass < passes.nDigits; ++pass) {
        const std::size_t d = passes.digits[pass];
        ++passes.offsets[d][Digit(key, d)];
      }
    }
    for (std::size_t pass = 0; pass < passes.nDigits; ++pass) {
      std::uint32_t sum = 0;
      for (std::uint32_t& slot : passes.offsets[passes.digits[pass]])
        sum += std::exchange(slot, sum);
    }
  }

  // A least-significant-digit radix sort through the working buffers in
  // `room`; from kBucketSortThreshold elements on, when their keys differ in
  // more than the bucket bits, the buckets come first. When every value comes
  // back bit for bit from its key (no -0, no NaN), the passes move keys,
  // computed once, and the last one writes the values back from them;
  // otherwise they move the values and compute each key again.
  bool RadixSort(Side room) {
    // Both folded with OR, so that the loop carries nothing but two registers.
    Key lost = 0;
    Key varying = 0;
    const Key firstKey = KeyAt(m_values, 0);
    for (std::size_t i = 0; i < m_n; ++i) {
      const T value = m_values[i];
      const Key key = Order::Of(value);
      lost |= Order::LostBits(value, key);
      varying |= static_cast<Key>(key ^ firstKey);
    }
    const bool bKeysSuffice = lost == 0;
    const Side caller{reinterpret_cast<unsigned char*>(m_values), m_index};
    const auto nVaryingBits = static_cast<std::size_t>(std::bit_width(varying));
    if (SplitsFirst(m_n, nVaryingBits))
      return SortByBucketsFirst(caller, room, bKeysSuffice, nVaryingBits);
    Passes passes;
    PlanPasses(Lane<T, Order, false>{caller.bytes, caller.index}, m_n, varying, passes);
    RunPasses(caller, room, false, bKeysSuffice, passes, m_n);
    return true;
  }

  static constexpr std::size_t kBucketBits = 16;
  static constexpr std::size_t kBuckets = std::size_t{1} << kBucketBits;

  // Whether n elements whose keys differ in their low `nVaryingBits` are
  // split into buckets before their byte passes.
  static bool SplitsFirst(std::size_t n, std::size_t nVaryingBits) {
    return n >= static_cast<std::size_t>(kBucketSortThreshold) && nVaryingBits > kBucketBits;
  }

  // Calls `op(first, n)` for each bucket of a split, whose `ends` give where
  // each bucket ends.
  template <class Op>
  static void ForEachBucket(const std::uint32_t* ends, Op op) {
    std::size_t first = 0;
    for (std::size_t b = 0; b < kBuckets; ++b) {
      op(first, ends[b] - first);
      first = ends[b];
    }
  }

  // Moves the n elements of `from` stably into `to` by their key bits from
  // `nShift` up (kBucketBits of them); each entry of `offsets` is then where
  // its bucket ends.
  template <class From, class To>
  void SplitIntoBuckets(const From& from, const To& to, std::size_t n, std::size_t nShift,
                        std::uint32_t* offsets) const {
    std::fill(offsets, offsets + kBuckets, 0);
    const auto bucketOf = [nShift](Key key) {
      return static_cast<std::size_t>(key >> nShift) & (kBuckets - 1);
    };
    for (std::size_t i = 0; i < n; ++i) ++offsets[bucketOf(from.KeyAt(i))];
    std::uint32_t sum = 0;
    for (std::size_t b = 0; b < kBuckets; ++b) sum += std::exchange(offsets[b], sum);
    Scatter(from, to, n, offsets,
            [&bucketOf](const auto& lane, std::size_t i) { return bucketOf(lane.KeyAt(i)); });
  }

  // The shift that splits keys differing in their low `nVaryingBits` by
  // their kBucketBits highest differing ones.
  static std::size_t BucketShift(std::size_t nVaryingBits) { return nVaryingBits - kBucketBits; }

  // One stable split of all elements into the room by the kBucketBits below
  // the highest key bit that differs between them, then each bucket sorted
  // on its own by the bits below. Only the split moves all elements through
  // memory; a bucket's passes stay in the processor's cache, and a bucket
  // too large for it (keys crowded by their high bits, as a float's
  // exponent crowds them) is split once more by its own bits first.
  bool SortByBucketsFirst(Side caller, Side room, bool bKeys, std::size_t nVaryingBits) {
    Scratch<std::uint32_t> slots(2 * kBuckets);
    if (slots.Get() == nullptr) return false;
    std::uint32_t* const offsets = slots.Get();
    std::uint32_t* const innerOffsets = offsets + kBuckets;
    WithLane(room, bKeys, [&](const auto& to) {
      SplitIntoBuckets(Lane<T, Order, false>{caller.bytes, caller.index}, to, m_n,
                       BucketShift(nVaryingBits), offsets);
    });
    ForEachBucket(offsets, [&](std::size_t first, std::size_t n) {
      SortBucket(caller.At(first), room.At(first), n, bKeys, innerOffsets);
    });
    return true;
  }

  // Sorts the n elements of a bucket from `room` (keys when bKeys) into
  // `caller`, as values; `innerOffsets` has room for the counts of a split.
  void SortBucket(Side caller, Side room, std::size_t n, bool bKeys,
                  std::uint32_t* innerOffsets) const {
    if (n < static_cast<std::size_t>(kRadixSortThreshold)) {
      WithLane(room, bKeys, [&](const auto& from) {
        CopyBack(from, Lane<T, Order, false>{caller.bytes, caller.index}, n);
      });
      InsertionSort(reinterpret_cast<T*>(caller.bytes), caller.index, n);
      return;
    }
    Passes passes;
    bool bSplit = false;
    WithLane(room, bKeys, [&](const auto& lane) {
      const Key varying = VaryingBits(lane, n);
      const auto nVaryingBits = static_cast<std::size_t>(std::bit_width(varying));
      bSplit = SplitsFirst(n, nVaryingBits);
      if (bSplit) {
        SplitIntoBuckets(lane, Lane<T, Order, false>{caller.bytes, caller.index}, n,
                         BucketShift(nVaryingBits), innerOffsets);
      } else {
        PlanPasses(lane, n, varying, passes);
      }
    });
    if (!bSplit) {
      RunPasses(caller, room, true, bKeys, passes, n);
      return;
    }
    // The large buckets take their passes; one insertion sort then finishes
    // the small ones all at once (thousands of them, of a few elements each):
    // the buckets stand in order, so no element moves out of its own.
    ForEachBucket(innerOffsets, [&](std::size_t first, std::size_t nInBucket) {
      if (nInBucket >= static_cast<std::size_t>(kRadixSortThreshold))
        SortByPassesInCaller(caller.At(first), room.At(first), nInBucket, bKeys);
    });
    InsertionSort(reinterpret_cast<T*>(caller.bytes), caller.index, n);
  }

  // Sorts the n elements of a bucket that lie in `caller`, as values.
  void SortByPassesInCaller(Side caller, Side room, std::size_t n, bool bKeys) const {
    const Lane<T, Order, false> lane{caller.bytes, caller.index};
    Passes passes;
    PlanPasses(lane, n, VaryingBits(lane, n), passes);
    RunPasses(caller, room, false, bKeys, passes, n);
  }

  // Moves the n elements from the room (bStartInRoom, as keys when bKeys) or
  // from the caller's buffers (as values) through one stable scatter per
  // pass, each to the other side, and leaves them as values in the caller's
  // buffers. Between passes they are keys when bKeys.
  void RunPasses(Side caller, Side room, bool bStartInRoom, bool bKeys, Passes& passes,
                 std::size_t n) const {
    bool bInRoom = bStartInRoom;
    bool bAsKeys = bStartInRoom && bKeys;
    for (std::size_t pass = 0; pass < passes.nDigits; ++pass) {
      const bool bToKeys = bKeys && !(bInRoom && pass + 1 == passes.nDigits);
      const std::size_t d = passes.digits[pass];
      WithLane(bInRoom ? room : caller, bAsKeys, [&](const auto& from) {
        WithLane(bInRoom ? caller : room, bToKeys, [&](const auto& to) {
          Scatter(from, to, n, passes.offsets[d],
                  [d](const auto& lane, std::size_t i) { return lane.DigitAt(i, d); });
        });
      });
      bInRoom = !bInRoom;
      bAsKeys = bToKeys;
    }
    if (!bInRoom) return;
    WithLane(room, bAsKeys, [&](const auto& from) {
      CopyBack(from, Lane<T, Order, false>{caller.bytes, caller.index}, n);
    });
  }

  // Moves each of the n elements (and index entries) of `from` to the next
  // slot of its digit in `to`.
  template <class From, class To, class DigitOf>
  void Scatter(const From& from, const To& to, std::size_t n, std::uint32_t* offsets,
               DigitOf digitOf) const {
    if (m_index != nullptr) {
      Scatter<true>(from, to, n, offsets, digitOf);
    } else {
      Scatter<false>(from, to, n, offsets, digitOf);
    }
  }
  template <bool kWithIndex, class From, class To, class DigitOf>
  static void Scatter(const From& from, const To& to, std::size_t n, std::uint32_t* offsets,
                      DigitOf digitOf) {
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t slot = offsets[digitOf(from, i)]++;
      to.Put(slot, from, i);
      if constexpr (kWithIndex) to.index[slot] = from.index[i];
    }
  }

  // Puts the n elements of `from` into `to`, in order.
  template <class From, class To>
  static void CopyBack(const From& from, const To& to, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) to.Put(i, from, i);
    if (to.index != nullptr) std::memcpy(to.index, from.index, n * sizeof(int));
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
