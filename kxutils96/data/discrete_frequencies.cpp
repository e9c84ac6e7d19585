// Frequencies by hashing: every string is looked up once in a table of the
// distinct strings (equal as the sort compares them), only the distinct
// strings are sorted, and the input is then rewritten group by group in that
// order, each group's members in their input order. That is the input as the
// family's stable sort leaves it, and each group's first member is the one
// that sort would place first.
#include <kxutils96/data/discrete_frequencies.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include <kxutils96/data/detail/distinct_texts.h>
#include <kxutils96/frame/flat_call.h>
#include <kxutils96/platform/cpu/prefetch.h>
#include <kxutils96/sort/scratch.h>
#include <kxutils96/sort/sort_family.h>
#include <kxutils96/sort/text_keys.h>
#include <kxutils96/strings/zqv_string_array.h>

using namespace kxu::data::detail;
using namespace kxu::platform;
using namespace kxu::sort;

namespace {

// Each string's group number; `firsts` receives each group's first position.
template <bool kFold>
std::vector<int> GroupStrings(const CStringUTF8* strings, int n, std::vector<int>& firsts) {
  DistinctTexts<kFold> distinct;
  const kxu::platform::HashSeeds& seeds = kxu::platform::ProcessHashSeeds();
  std::vector<int> groups(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    if (i + kTextPrefetchDistance < n)
      PrefetchForRead(strings[i + kTextPrefetchDistance].GetString());
    const int group = distinct.GroupOf(KeyOf<kFold>(strings[i].GetString(), seeds));
    if (group == static_cast<int>(firsts.size())) firsts.push_back(i);
    groups[static_cast<std::size_t>(i)] = group;
  }
  return groups;
}

// The rank of each group in the sorted order of its first members, sorted by
// the family's sort under `flags`. The members are sorted as raw copies of
// the strings' objects, which are dropped afterwards without being destroyed.
std::vector<int> RankGroups(const CStringUTF8* strings, const std::vector<int>& firsts,
                            unsigned long flags) {
  const int count = static_cast<int>(firsts.size());
  kxu::sort::Scratch<CStringUTF8> views(firsts.size());
  if (views.Get() == nullptr) throw std::bad_alloc();
  CArray<int, int> order;
  order.SetSize(count);
  for (int k = 0; k < count; ++k) {
    // NOLINTNEXTLINE(bugprone-undefined-memory-manipulation): raw copies, never destroyed
    std::memcpy(static_cast<void*>(views.Get() + k), &strings[firsts[static_cast<std::size_t>(k)]],
                sizeof(CStringUTF8));
    order[k] = k;
  }
  kxutilsSortBuff(views.Get(), count, flags, &order);
  std::vector<int> ranks(firsts.size());
  for (int k = 0; k < count; ++k) ranks[static_cast<std::size_t>(order[k])] = k;
  return ranks;
}

}  // namespace

int kxu_discrete_frequencies(HostObject* pInput, HostObject* pOutput, double* pFrequencies,
                             int* pnCount, int nOptions) {
  using namespace kxu::frame;
  CZQVStringArray* pIn = nullptr;
  CZQVStringArray* pOut = nullptr;
  if (!kxu::frame::StrictStringArray(pInput, pIn) ||
      !kxu::frame::StrictStringArray(pOutput, pOut)) {
    return kResultMissingArgument;
  }
  const int n = pIn->GetSize();
  if (n < 1) return 0;
  if (pFrequencies == nullptr || pnCount == nullptr) return kResultMissingArgument;

  const bool caseSensitive = (nOptions & kFrequenciesCaseSensitive) != 0;
  if ((nOptions & kFrequenciesTrim) != 0) {
    for (int i = 0; i < n; ++i) pIn->ElementAt(i).TrimLeft().TrimRight();
  }
  CStringUTF8* strings = pIn->GetData();
  std::vector<int> firsts;
  const std::vector<int> groups = caseSensitive ? GroupStrings<false>(strings, n, firsts)
                                                : GroupStrings<true>(strings, n, firsts);
  const std::vector<int> ranks =
      RankGroups(strings, firsts, caseSensitive ? SORT_CASE_SENSITIVE : 0UL);

  kxu::sort::Scratch<CStringUTF8> room(static_cast<std::size_t>(n));
  if (room.Get() == nullptr) throw std::bad_alloc();

  // Where each rank's members start in the sorted input.
  const std::size_t count = firsts.size();
  std::vector<int> starts(count + 1, 0);
  for (const int group : groups) ++starts[static_cast<std::size_t>(ranks[group]) + 1];
  for (std::size_t k = 0; k < count; ++k) {
    pFrequencies[k] = static_cast<double>(starts[k + 1]);
    starts[k + 1] += starts[k];
  }
  // The input rewritten in group order, members in input order: each string
  // moves straight to the next place of its group.
  std::vector<int> next(starts.begin(), starts.end() - 1);
  kxu::sort::MoveToPlaces(
      strings, static_cast<std::size_t>(n),
      [&](std::size_t i) { return next[static_cast<std::size_t>(ranks[groups[i]])]++; },
      room.Get());

  // The input is read by index: it may be the output array, which every
  // group appended can move.
  for (std::size_t k = 0; k < count; ++k) pOut->Add(pIn->GetAt(starts[k]));
  *pnCount = static_cast<int>(count);
  return 1;
}
