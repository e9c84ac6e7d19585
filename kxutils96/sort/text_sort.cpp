// Text sorts through one entry per element: its prefix key, its text and its
// position. The prefix orders most pairs without reading the texts again;
// ties of prefix go to the texts from byte 8 on, and ties of text to the
// positions, so the order is total and the result is the stable one.
#include <kxutils96/sort/text_sort.h>

#include <cstddef>
#include <cstdint>

#include <kxutils96/host/zutl96/sort_range.h>
#include <kxutils96/platform/cpu/prefetch.h>
#include <kxutils96/sort/number_sort.h>
#include <kxutils96/sort/numeric_text.h>
#include <kxutils96/sort/scratch.h>
#include <kxutils96/sort/sort_family.h>
#include <kxutils96/sort/text_keys.h>

namespace kxu::sort {

namespace {

struct TextEntry {
  std::uint64_t prefix;  // TextPrefix of the text, 0 for a null text
  const char* text;
  std::uint32_t position;
};

// The family's text order of two entries: null first, then by text.
template <bool kFold>
int OrderEntries(const TextEntry& a, const TextEntry& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
  if (a.text == nullptr || b.text == nullptr)
    return static_cast<int>(a.text != nullptr) - static_cast<int>(b.text != nullptr);
  if ((a.prefix & 0xFF) == 0) return 0;  // both end within the prefix
  return OrderTexts<kFold>(a.text + 8, b.text + 8);
}

// The sort's comparison, fixed per (case folding, direction) so that it is
// inlined; equal texts keep the order of their positions.
template <bool kFold, bool kDescending>
struct EntryBefore {
  bool operator()(const TextEntry& a, const TextEntry& b) const {
    const int order = OrderEntries<kFold>(a, b);
    return (kDescending ? -order : order) < 0 || (order == 0 && a.position < b.position);
  }
};

template <bool kFold>
void SortEntries(TextEntry* entries, std::ptrdiff_t n, bool descending) {
  if (descending) {
    zutl96::SortObjects(entries, n, EntryBefore<kFold, true>{});
  } else {
    zutl96::SortObjects(entries, n, EntryBefore<kFold, false>{});
  }
}

// Sorts the elements by the text that `textOf` gives for each.
template <class T, class TextOf>
bool SortByText(T* elements, int n, unsigned long flags, int* index, TextOf textOf) {
  const auto count = static_cast<std::size_t>(n);
  Scratch<TextEntry> entries(count);
  Scratch<T> room(count);
  Scratch<int> indexRoom(index != nullptr ? count : 0);
  if (entries.Get() == nullptr || room.Get() == nullptr ||
      (index != nullptr && indexRoom.Get() == nullptr)) {
    return false;
  }
  const bool fold = (flags & SORT_CASE_SENSITIVE) == 0;
  TextEntry* e = entries.Get();
  for (std::size_t i = 0; i < count; ++i) {
    if (i + kTextPrefetchDistance < count)
      platform::PrefetchForRead(textOf(elements[i + kTextPrefetchDistance]));
    const char* text = textOf(elements[i]);
    const std::uint64_t prefix =
        text == nullptr ? 0 : (fold ? TextPrefix<true>(text) : TextPrefix<false>(text));
    e[i] = {prefix, text, static_cast<std::uint32_t>(i)};
  }
  const bool descending = (flags & SORT_DESCENDING) != 0;
  if (fold) {
    SortEntries<true>(e, n, descending);
  } else {
    SortEntries<false>(e, n, descending);
  }
  const auto positionAt = [e](std::size_t i) { return e[i].position; };
  MoveIntoOrder(elements, count, positionAt, room.Get());
  if (index != nullptr) MoveIntoOrder(index, count, positionAt, indexRoom.Get());
  return true;
}

// Numeric text: every string converted once, the numbers sorted stably with
// their positions, then the strings moved into that order.
bool SortByNumber(CStringUTF8* strings, int n, unsigned long flags, int* index) {
  const auto count = static_cast<std::size_t>(n);
  Scratch<double> numbers(count);
  Scratch<int> positions(count);
  Scratch<CStringUTF8> room(count);
  Scratch<int> indexRoom(index != nullptr ? count : 0);
  if (numbers.Get() == nullptr || positions.Get() == nullptr || room.Get() == nullptr ||
      (index != nullptr && indexRoom.Get() == nullptr)) {
    return false;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (i + kTextPrefetchDistance < count)
      platform::PrefetchForRead(strings[i + kTextPrefetchDistance].GetString());
    numbers.Get()[i] = NumericTextValue(strings[i].GetString());
    positions.Get()[i] = static_cast<int>(i);
  }
  if (!SortNumbersStably(numbers.Get(), n, flags, positions.Get())) return false;
  const int* order = positions.Get();
  const auto positionAt = [order](std::size_t i) { return order[i]; };
  MoveIntoOrder(strings, count, positionAt, room.Get());
  if (index != nullptr) MoveIntoOrder(index, count, positionAt, indexRoom.Get());
  return true;
}

}  // namespace

bool SortTextsStably(const char** texts, int n, unsigned long flags, int* index) {
  return SortByText(texts, n, flags, index, [](const char* text) { return text; });
}

bool SortStringsStably(CStringUTF8* strings, int n, unsigned long flags, int* index) {
  if ((flags & SORT_NUMERIC_TEXT) != 0) return SortByNumber(strings, n, flags, index);
  return SortByText(strings, n, flags, index,
                    [](const CStringUTF8& string) { return string.GetString(); });
}

}  // namespace kxu::sort
