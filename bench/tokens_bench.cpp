// Tokenizing speed. Each row runs the library and a plain anchor alternately
// in one benchmark (see side_by_side.h); the counters give the medians of
// both and their ratio (library time over anchor time).
// - CsvLines: about 100 MB of CSV lines (plain numbers and words, quoted
//   fields with commas and doubled quotes) split line by line with
//   kxutilsTokenizeOneCSVLine, beside a std::string_view split at ',' into a
//   reused std::vector<std::string> (no quote handling).
// - WhiteSpaceTokens: the same lines split by kxutilsGetTokens at white space
//   with double quotes, beside a std::string_view split at runs of blanks
//   into a reused std::vector<std::string>.
// - CsvFile: a file of such lines, KXU_BENCH_CSV_MB megabytes (64 by default;
//   1024 for the 1 GiB figure), read as a host reads one: kxuReadTextFileLines,
//   then kxutilsTokenizeOneCSVLine on each line; beside std::getline into a
//   vector of strings and the comma split of each. Both report their peak
//   memory over the file's size.
// - SeparateByStr: kxutilsSeparateByStr at ", " on 10 MB, beside a
//   std::string_view find loop into a reused std::vector<std::string>.
// - SeparateByStr_LongSeparator: kxutilsSeparateByStr on 1 MB and 2 MB of
//   "a" at a separator half as long that never occurs, beside the short
//   separator "ab"; a steady ratio from one size to the next means linear time.
// Both sides read the same NUL-terminated lines from one buffer built once and
// reuse their output container across lines and rounds.
//
// Linear time: kxutilsGetTokens (storing, and only counting) on one text of
// 1 MB and of 10 MB; equal bytes per second at both sizes means linear time.
#include <kxutils96/files/text_file_lines.h>
#include <kxutils96/tokens/csv_line.h>
#include <kxutils96/tokens/separate_by_str.h>
#include <kxutils96/tokens/token_splitter.h>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "process_memory.h"
#include "side_by_side.h"

namespace {

using kxu::bench::ProcStatusBytes;
using kxu::bench::ResetPeakMemory;

constexpr std::size_t kCsvBytes = std::size_t{100} << 20;
constexpr std::size_t kMegabyte = std::size_t{1} << 20;
constexpr std::size_t kSeparateBytes = 10 * kMegabyte;
constexpr int kRounds = 9;
constexpr int kFileRounds = 3;

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

std::string RandomLine(std::mt19937& random) {
  std::string line;
  const int nFields = 8 + static_cast<int>(random() % 8);
  for (int i = 0; i < nFields; ++i) {
    if (i > 0) line += ',';
    line += RandomField(random);
  }
  return line;
}

const CsvLines& Csv() {
  static const CsvLines csv = [] {
    CsvLines result;
    std::mt19937 random(7);
    result.buffer.reserve(kCsvBytes + 1024);
    std::vector<std::size_t> starts;
    while (result.buffer.size() < kCsvBytes) {
      starts.push_back(result.buffer.size());
      const std::string line = RandomLine(random);
      result.nTextBytes += line.size();
      result.buffer += line;
      result.buffer += '\0';
    }
    for (std::size_t start : starts) result.lines.push_back(result.buffer.data() + start);
    return result;
  }();
  return csv;
}

// Puts the pieces of `text` into `pieces`, assigning over the strings already
// there (as the library reuses its array's strings), and cuts it to their count.
class PieceSink {
 public:
  explicit PieceSink(std::vector<std::string>& pieces) : m_pieces(pieces) {}
  PieceSink(const PieceSink&) = delete;
  PieceSink& operator=(const PieceSink&) = delete;
  ~PieceSink() { m_pieces.resize(m_nCount); }

  void Put(std::string_view piece) {
    if (m_nCount < m_pieces.size()) {
      m_pieces[m_nCount].assign(piece);
    } else {
      m_pieces.emplace_back(piece);
    }
    ++m_nCount;
  }

 private:
  std::vector<std::string>& m_pieces;
  std::size_t m_nCount = 0;
};

// The anchor of the CSV and SeparateByStr rows: cut at every `separator` (a
// byte, searched with memchr, or a text), no quotes.
template <class Separator>
void SplitAt(std::string_view rest, Separator separator, std::vector<std::string>& pieces) {
  std::size_t nSeparator = 1;
  if constexpr (!std::is_same_v<Separator, char>) nSeparator = separator.size();
  PieceSink sink(pieces);
  for (auto nAt = rest.find(separator); nAt != std::string_view::npos; nAt = rest.find(separator)) {
    sink.Put(rest.substr(0, nAt));
    rest.remove_prefix(nAt + nSeparator);
  }
  sink.Put(rest);
}

// The anchor of the white-space row: cut at every blank, empty pieces left out.
void SplitAtBlanks(std::string_view rest, std::vector<std::string>& pieces) {
  PieceSink sink(pieces);
  for (auto nAt = rest.find(' '); nAt != std::string_view::npos; nAt = rest.find(' ')) {
    if (nAt > 0) sink.Put(rest.substr(0, nAt));
    rest.remove_prefix(nAt + 1);
  }
  if (!rest.empty()) sink.Put(rest);
}

void Rows(benchmark::internal::Benchmark* bench, int nRounds) {
  bench->Iterations(nRounds)->Unit(benchmark::kMillisecond)->UseRealTime();
}

void BM_CsvLines(benchmark::State& state) {
  const CsvLines& csv = Csv();
  CZQVStringArray fields;
  std::vector<std::string> pieces;
  kxu::bench::SideBySide(
      state, static_cast<double>(csv.nTextBytes),
      [&] {
        for (const char* pLine : csv.lines) {
          benchmark::DoNotOptimize(kxutilsTokenizeOneCSVLine(pLine, &fields));
        }
      },
      [&] {
        for (const char* pLine : csv.lines) {
          SplitAt(pLine, ',', pieces);
          benchmark::DoNotOptimize(pieces.data());
        }
      });
}

void BM_WhiteSpaceTokens(benchmark::State& state) {
  const CsvLines& csv = Csv();
  CZQVStringArray tokens;
  std::vector<std::string> pieces;
  kxu::bench::SideBySide(
      state, static_cast<double>(csv.nTextBytes),
      [&] {
        for (const char* pLine : csv.lines) {
          benchmark::DoNotOptimize(
              kxutilsGetTokens(pLine, &tokens, 0, nullptr, kxu::tokens::kQuoteDouble, 0));
        }
      },
      [&] {
        for (const char* pLine : csv.lines) {
          SplitAtBlanks(pLine, pieces);
          benchmark::DoNotOptimize(pieces.data());
        }
      });
}

// The CSV file's size: KXU_BENCH_CSV_MB megabytes, 64 by default.
std::size_t CsvFileBytes() {
  const char* mb = std::getenv("KXU_BENCH_CSV_MB");
  const std::size_t nMegabytes = mb != nullptr ? std::strtoull(mb, nullptr, 10) : 0;
  return (nMegabytes != 0 ? nMegabytes : 64) * kMegabyte;
}

// A CSV file written once into a fresh folder under $TMPDIR (or /tmp) and
// removed with it when the program ends.
class CsvFile {
 public:
  CsvFile() : m_dir(MakeFolder()) {
    std::ofstream out(Path(), std::ios::binary);
    std::mt19937 random(11);
    for (std::size_t n = 0; n < CsvFileBytes();) {
      const std::string line = RandomLine(random) + "\n";
      out << line;
      n += line.size();
    }
  }
  CsvFile(const CsvFile&) = delete;
  CsvFile& operator=(const CsvFile&) = delete;
  ~CsvFile() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
  }

  std::string Path() const { return (m_dir / "data.csv").string(); }

 private:
  static std::filesystem::path MakeFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp");
    pattern += "/kxu_tokens_bench_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp " + pattern);
    return pattern;
  }

  std::filesystem::path m_dir;
};

// Runs `work` and returns the resident memory it added at its peak. Memory
// that earlier rounds freed goes back to the system first, so that each side
// is measured from the same start.
template <class Work>
std::size_t PeakOf(Work work) {
  ::malloc_trim(0);
  const std::size_t nBefore = ProcStatusBytes("VmRSS:");
  ResetPeakMemory();
  work();
  return ProcStatusBytes("VmHWM:") - nBefore;
}

void BM_CsvFile(benchmark::State& state) {
  static const CsvFile file;
  const std::string path = file.Path();
  const auto nSize = static_cast<double>(std::filesystem::file_size(path));
  std::size_t nLibraryPeak = 0;
  std::size_t nAnchorPeak = 0;
  kxu::bench::SideBySide(
      state, nSize,
      [&] {
        nLibraryPeak = std::max(nLibraryPeak, PeakOf([&] {
                                  CZQVStringArray lines;
                                  CZQVStringArray fields;
                                  const int nLines = kxuReadTextFileLines(path.c_str(), &lines, 0);
                                  for (int i = 0; i < nLines; ++i) {
                                    kxutilsTokenizeOneCSVLine(lines[i], &fields);
                                  }
                                }));
      },
      [&] {
        nAnchorPeak = std::max(nAnchorPeak, PeakOf([&] {
                                 std::ifstream in(path, std::ios::binary);
                                 std::vector<std::string> lines;
                                 std::vector<std::string> pieces;
                                 std::string line;
                                 while (std::getline(in, line)) lines.push_back(line);
                                 for (const std::string& each : lines) SplitAt(each, ',', pieces);
                               }));
      });
  state.counters["file_MB"] = nSize / 1e6;
  state.counters["lib_peak_per_file_byte"] = static_cast<double>(nLibraryPeak) / nSize;
  state.counters["anchor_peak_per_file_byte"] = static_cast<double>(nAnchorPeak) / nSize;
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
  const std::string& text = Text(kSeparateBytes);
  CZQVStringArray pieces;
  std::vector<std::string> anchorPieces;
  kxu::bench::SideBySide(
      state, static_cast<double>(text.size()),
      [&] { benchmark::DoNotOptimize(kxutilsSeparateByStr(text.c_str(), &pieces, ", ")); },
      [&] {
        SplitAt(text, std::string_view(", "), anchorPieces);
        benchmark::DoNotOptimize(anchorPieces.data());
      });
}

// A text of `state.range(0)` MB of "a" cut at a separator that never occurs
// there: half as long as the text ("aa...ab"), beside the short "ab". Both
// read every byte; a search that tried every start with the long one would
// take time growing with the square of the size, so the ratio would double
// from 1 MB to 2 MB.
void BM_SeparateByStr_LongSeparator(benchmark::State& state) {
  const std::size_t nBytes = static_cast<std::size_t>(state.range(0)) * kMegabyte;
  const std::string text(nBytes, 'a');
  const std::string separator = std::string(nBytes / 2 - 1, 'a') + 'b';
  CZQVStringArray pieces;
  kxu::bench::SideBySide(
      state, static_cast<double>(nBytes),
      [&] {
        benchmark::DoNotOptimize(kxutilsSeparateByStr(text.c_str(), &pieces, separator.c_str()));
      },
      [&] { benchmark::DoNotOptimize(kxutilsSeparateByStr(text.c_str(), &pieces, "ab")); });
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

BENCHMARK(BM_CsvLines)->Apply([](benchmark::internal::Benchmark* bench) { Rows(bench, kRounds); });
BENCHMARK(BM_WhiteSpaceTokens)->Apply([](benchmark::internal::Benchmark* bench) {
  Rows(bench, kRounds);
});
BENCHMARK(BM_CsvFile)->Apply([](benchmark::internal::Benchmark* bench) {
  Rows(bench, kFileRounds);
});
BENCHMARK(BM_SeparateByStr)->Apply([](benchmark::internal::Benchmark* bench) {
  Rows(bench, kRounds);
});
BENCHMARK(BM_SeparateByStr_LongSeparator)
    ->Arg(1)
    ->Arg(2)
    ->Apply([](benchmark::internal::Benchmark* bench) { Rows(bench, kRounds); });
BENCHMARK(BM_GetTokens)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTokens_CountOnly)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
