// CZQVStringArray beside std::vector<std::string>: appending a million short
// strings, and storing and loading a million strings of 0-300 bytes through an
// archive in memory beside a plain loop over the same length-prefixed bytes.
// All run on a warm heap (see warm_heap.h).
#include <kxutils96/platform/framework/afx_mem_file.h>
#include <kxutils96/strings/zqv_string_array.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "side_by_side.h"
#include "warm_heap.h"

namespace {

using kxu::bench::WarmHeap;

constexpr int kCount = 1'000'000;

// Texts of 4 to 20 bytes, like tokens and numbers.
const std::vector<std::string>& ShortTexts() {
  static const std::vector<std::string> texts = [] {
    std::mt19937 random(1);
    std::uniform_int_distribution<int> length(4, 20), letter('a', 'z');
    std::vector<std::string> result(kCount);
    for (std::string& text : result) {
      text.resize(static_cast<size_t>(length(random)));
      for (char& ch : text) ch = static_cast<char>(letter(random));
    }
    return result;
  }();
  return texts;
}

void BM_Add(benchmark::State& state) {
  if (!WarmHeap(state)) return;
  const auto& texts = ShortTexts();
  kxu::bench::SideBySide(
      state, static_cast<double>(kCount),
      [&] {
        CZQVStringArray array;
        for (const std::string& text : texts) array.Add(text.c_str());
        benchmark::DoNotOptimize(array.GetData());
      },
      [&] {
        std::vector<std::string> array;
        for (const std::string& text : texts) array.emplace_back(text.c_str());
        benchmark::DoNotOptimize(array.data());
      });
}

// A million strings of 0 to 300 bytes.
const CZQVStringArray& LongTexts() {
  static const CZQVStringArray array = [] {
    std::mt19937 random(2);
    std::uniform_int_distribution<int> length(0, 300), letter(' ', '~');
    CZQVStringArray result;
    result.SetSize(kCount);
    for (int i = 0; i < kCount; ++i) {
      CStringUTF8& text = result.ElementAt(i);
      const int n = length(random);
      char* p = text.GetBuffer(n);
      for (int k = 0; k < n; ++k) p[k] = static_cast<char>(letter(random));
      text.ReleaseBuffer(n);
    }
    return result;
  }();
  return array;
}

const std::vector<BYTE>& StoredLongTexts() {
  static const std::vector<BYTE> bytes = [] {
    CMemFile file(64 * 1024 * 1024);
    CArchive ar(&file, CArchive::store);
    const_cast<CZQVStringArray&>(LongTexts()).Serialize(ar);
    ar.Close();
    std::vector<BYTE> result(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(result.data(), static_cast<UINT>(result.size()));
    return result;
  }();
  return bytes;
}

void BM_ArchiveStore_ZQVStringArray(benchmark::State& state) {
  if (!WarmHeap(state)) return;
  const CZQVStringArray& array = LongTexts();
  const size_t size = StoredLongTexts().size();
  std::vector<BYTE> buffer(size);
  for (auto _ : state) {
    CMemFile file(buffer.data(), static_cast<UINT>(buffer.size()));
    CArchive ar(&file, CArchive::store);
    const_cast<CZQVStringArray&>(array).Serialize(ar);
    ar.Close();
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

// The anchor: the same bytes parsed by a plain loop into std::strings.
std::vector<std::string> PlainLoad(const std::vector<BYTE>& bytes) {
  const BYTE* p = bytes.data();
  DWORD count = static_cast<DWORD>(p[0] | (p[1] << 8));
  p += 2;
  if (count == 0xFFFF) {
    std::memcpy(&count, p, 4);
    p += 4;
  }
  std::vector<std::string> array;
  array.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    size_t length = *p++;
    if (length == 0xFF) {
      length = static_cast<size_t>(p[0] | (p[1] << 8));
      p += 2;
    }
    array.emplace_back(reinterpret_cast<const char*>(p), length);
    p += length;
  }
  return array;
}

void BM_ArchiveLoad(benchmark::State& state) {
  if (!WarmHeap(state)) return;
  std::vector<BYTE> bytes = StoredLongTexts();
  kxu::bench::SideBySide(
      state, static_cast<double>(bytes.size()),
      [&] {
        CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load);
        CZQVStringArray array;
        array.Serialize(ar);
        benchmark::DoNotOptimize(array.GetData());
      },
      [&] { benchmark::DoNotOptimize(PlainLoad(bytes).data()); });
}

void Rows(benchmark::internal::Benchmark* bench) {
  bench->Iterations(9)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_Add)->Apply(Rows);
BENCHMARK(BM_ArchiveStore_ZQVStringArray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveLoad)->Apply(Rows);
}  // namespace
