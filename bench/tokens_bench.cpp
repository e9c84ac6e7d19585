// Tokenizing speed.
//
// CSV: about 100 MB of CSV lines (plain numbers and words, quoted fields with
// commas and doubled quotes) split line by line with kxutilsTokenizeOneCSVLine,
// beside the baseline: a plain std::string_view comma split of the same lines
// into a reused vector of views (no quote handling). Both read the same
// NUL-terminated lines from one buffer built once; both reuse their output
// container across lines and iterations.
//
// Linear time: kxutilsSeparateByStr and kxutilsGetTokens (storing, and only
// counting) on one text of 1 MB and of 10 MB; equal bytes per second at both
// sizes means linear time. The stored tokens of 10 MB no longer fit in the
// caches, which the storing runs show and the counting run does not.
#include <kxutils96/tokens/csv_line.h>
#include <kxutils96/tokens/separate_by_str.h>
#include <kxutils96/tokens/token_splitter.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kCsvBytes = 100u << 20;
constexpr std::size_t kMegabyte = 1u << 20;

// Lines of mixed fields, each ended by a NUL, in one buffer.
struct CsvLines {
  std::string buffer;
  std::vector<const char*> lines;
  std::size_t nTextBytes = 0;
};

std::string RandomField(std::mt19937& random) {
  static const char* const kWords[] = {"alpha",       "beta", "gamma",     "delta",
                                       "Temperature", "x",    "sample 12", "NaN"};
  switch (random() % 5) {
    case 0:
      return std::to_string(random() % 100000) + "." + std::to_string(random() % 1000);
    case 1:
      return kWords[random() % 8];
    case 2:
      return "\"" + std::string(kWords[random() % 8]) + ", " + kWords[random() % 8] + "\"";
    case 3:
      return "\"he said \"\"" + std::string(kWords[random() % 8]) + "\"\"\"";
    default:
      return std::to_string(random() % 1000);
  }
}

const CsvLines& Csv() {
  static const CsvLines csv = [] {
    CsvLines result;
    std::mt19937 random(7);
    result.buffer.reserve(kCsvBytes + 1024);
    std::vector<std::size_t> starts;
    while (result.buffer.size() < kCsvBytes) {
      starts.push_back(result.buffer.size());
      const int nFields = 8 + static_cast<int>(random() % 8);
      for (int i = 0; i < nFields; ++i) {
        if (i > 0) result.buffer += ',';
        result.buffer += RandomField(random);
      }
      result.nTextBytes += result.buffer.size() - starts.back();
      result.buffer += '\0';
    }
    for (std::size_t start : starts) result.lines.push_back(result.buffer.data() + start);
    return result;
  }();
  return csv;
}

void BM_Csv_TokenizeOneCSVLine(benchmark::State& state) {
  const CsvLines& csv = Csv();
  CZQVStringArray fields;
  for (auto _ : state) {
    for (const char* pLine : csv.lines) {
      benchmark::DoNotOptimize(kxutilsTokenizeOneCSVLine(pLine, &fields));
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * csv.nTextBytes));
}

// Baseline: cut at every comma, no quotes.
void BM_Csv_StringViewSplit(benchmark::State& state) {
  const CsvLines& csv = Csv();
  std::vector<std::string_view> fields;
  for (auto _ : state) {
    for (const char* pLine : csv.lines) {
      fields.clear();
      std::string_view rest(pLine);
      for (auto nAt = rest.find(','); nAt != std::string_view::npos; nAt = rest.find(',')) {
        fields.push_back(rest.substr(0, nAt));
        rest.remove_prefix(nAt + 1);
      }
      fields.push_back(rest);
      benchmark::DoNotOptimize(fields.data());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * csv.nTextBytes));
}

// A text of `nBytes` bytes of words separated by ", ", one quoted stretch in 8.
const std::string& Text(std::size_t nBytes) {
  static std::string texts[2];
  std::string& text = texts[nBytes > kMegabyte ? 1 : 0];
  if (text.empty()) {
    std::mt19937 random(3);
    text.reserve(nBytes + 64);
    while (text.size() < nBytes) text += (random() % 8 == 0) ? "\"a, b\", " : "word12, ";
  }
  return text;
}

void BM_SeparateByStr(benchmark::State& state) {
  const std::string& text = Text(static_cast<std::size_t>(state.range(0)) * kMegabyte);
  CZQVStringArray pieces;
  for (auto _ : state) benchmark::DoNotOptimize(kxutilsSeparateByStr(text.c_str(), &pieces, ", "));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_GetTokens(benchmark::State& state) {
  const std::string& text = Text(static_cast<std::size_t>(state.range(0)) * kMegabyte);
  CZQVStringArray tokens;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        kxutilsGetTokens(text.c_str(), &tokens, ',', nullptr, kxu::tokens::kQuoteDouble, 0));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// The splitter alone: tokens counted, not stored, so no allocation per token.
void BM_GetTokens_CountOnly(benchmark::State& state) {
  const std::string& text = Text(static_cast<std::size_t>(state.range(0)) * kMegabyte);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        kxutilsGetTokens(text.c_str(), nullptr, ',', nullptr, kxu::tokens::kQuoteDouble, 0));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

}  // namespace

BENCHMARK(BM_Csv_TokenizeOneCSVLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Csv_StringViewSplit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeparateByStr)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTokens)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTokens_CountOnly)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
