// Message speed.
//
// kxuStringOrderedFormat beside snprintf, in one run, alternating (medians
// and their ratio): one million messages a round, each with other values,
// written by snprintf with its placeholders in plain order into a stack
// buffer and then into a reused std::string (which owns its result as the
// formatter's string does).
// - OrderedFormat_TextAndNumber: "{0}%s has {1}%d rows" beside "%s has %d rows".
// - OrderedFormat_ThreeSigns: "Sheet {2}%s has {0}%d rows and {1}%d columns."
//   beside "Sheet %s has %d rows and %d columns.".
//
// A loaded message: kxu_load_err_msg_str of an error in German (a lookup in
// the store already loaded, the heading and the copy into the caller's
// string), kxu_load_msg_str filling the same message with a file name, and
// utlLoadModuleString alone. The sample stores lie beside this program.
#include <kxutils96/format/messages/message_loading.h>
#include <kxutils96/format/messages/ordered_format.h>
#include <kxutils96/host/zutl96/message_store.h>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "side_by_side.h"
#include "warm_heap.h"

namespace {

constexpr int kMessages = 1000000;
constexpr std::array<const char*, 4> kSheets = {"Data", "Results 2024", "Sheet1", "Fit"};
constexpr int kGerman = 2;

int OrderedFormat(CStringUTF8& strResult, const char* lpcszFormat, ...) {
  va_list args;
  va_start(args, lpcszFormat);
  const int nResult = kxuStringOrderedFormat(strResult, lpcszFormat, args);
  va_end(args);
  return nResult;
}

const char* SheetOf(int i) {
  return kSheets[static_cast<std::size_t>(i) % kSheets.size()];
}

constexpr int kRounds = 9;

// snprintf of `lpcszFormat` into a stack buffer, kept in `strResult`.
void SnprintfInto(std::string& strResult, const char* lpcszFormat, ...) {
  std::array<char, 256> buffer;
  va_list args;
  va_start(args, lpcszFormat);
  const int nLength = std::vsnprintf(buffer.data(), buffer.size(), lpcszFormat, args);
  va_end(args);
  strResult.assign(buffer.data(), static_cast<std::size_t>(nLength));
}

// One million messages a round by each side, alternating: `library(result, i)`
// into a CStringUTF8, `anchor(result, i)` into a std::string.
template <class Library, class Anchor>
void MessagesSideBySide(benchmark::State& state, Library library, Anchor anchor) {
  if (!kxu::bench::WarmHeap(state)) return;
  CStringUTF8 result;
  std::string anchorResult;
  kxu::bench::SideBySide(
      state, kMessages,
      [&] {
        for (int i = 0; i < kMessages; ++i) {
          library(result, i);
          benchmark::DoNotOptimize(result.GetString());
        }
      },
      [&] {
        for (int i = 0; i < kMessages; ++i) {
          anchor(anchorResult, i);
          benchmark::DoNotOptimize(anchorResult.data());
        }
      });
}

void BM_OrderedFormat_TextAndNumber(benchmark::State& state) {
  MessagesSideBySide(
      state,
      [](CStringUTF8& result, int i) {
        OrderedFormat(result, "{0}%s has {1}%d rows", SheetOf(i), i);
      },
      [](std::string& result, int i) { SnprintfInto(result, "%s has %d rows", SheetOf(i), i); });
}
BENCHMARK(BM_OrderedFormat_TextAndNumber)->Iterations(kRounds)->Unit(benchmark::kMillisecond);

void BM_OrderedFormat_ThreeSigns(benchmark::State& state) {
  MessagesSideBySide(
      state,
      [](CStringUTF8& result, int i) {
        OrderedFormat(result, "Sheet {2}%s has {0}%d rows and {1}%d columns.", i, i % 64,
                      SheetOf(i));
      },
      [](std::string& result, int i) {
        SnprintfInto(result, "Sheet %s has %d rows and %d columns.", SheetOf(i), i, i % 64);
      });
}
BENCHMARK(BM_OrderedFormat_ThreeSigns)->Iterations(kRounds)->Unit(benchmark::kMillisecond);

void BM_LoadErrMsgStr(benchmark::State& state) {
  if (!kxu::bench::WarmHeap(state)) return;
  CStringUTF8 text;
  if (kxu_load_err_msg_str(15000, &text, kGerman) == 0) {
    state.SkipWithError("the sample store zErrMsg.kxmsg is not beside the program");
    return;
  }
  for (auto _ : state) {
    kxu_load_err_msg_str(15000, &text, kGerman);
    benchmark::DoNotOptimize(text.GetString());
  }
}
BENCHMARK(BM_LoadErrMsgStr);

void BM_LoadMsgStrFilled(benchmark::State& state) {
  if (!kxu::bench::WarmHeap(state)) return;
  CStringUTF8 text;
  for (auto _ : state) {
    kxu_load_msg_str(15000, &text, "measurements.csv", nullptr, nullptr, kGerman);
    benchmark::DoNotOptimize(text.GetString());
  }
}
BENCHMARK(BM_LoadMsgStrFilled);

void BM_LoadModuleString(benchmark::State& state) {
  // The store the exports loaded: found again through its path, not re-read.
  kxu_load_err_msg_str(15000, nullptr, kGerman);
  std::array<WCHAR, 520> path{};
  GetModuleFileNameW(nullptr, path.data(), path.size());
  std::u16string storePath(path.data());
  storePath = storePath.substr(0, storePath.rfind(u'/') + 1) + u"zErrMsg.kxmsg";
  const HMODULE hStore = utlLoadMessageStore(storePath.c_str());
  std::array<char, 4096> buffer{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(utlLoadModuleString(hStore, 15000, buffer.data(), 4096, 0x0407, 0, 0));
  }
}
BENCHMARK(BM_LoadModuleString);

}  // namespace
