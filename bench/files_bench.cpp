// Text file reading beside plain baselines on the same files, the two sides
// alternating in one benchmark (see side_by_side.h):
// - kxu_read_text_file on a 1 GiB UTF-8 file (KXU_BENCH_FILE_MB sets another
//   size) into a reused destination, beside a read() loop into one reused
//   buffer; and into a fresh destination each time, beside read() into a
//   fresh buffer, with the library's peak memory over the file's size;
// - kxu_read_text_file on a 64 MB UTF-16 LE file (with its mark) beside
//   reading the same bytes and converting them with iconv;
// - kxuReadTextFileLines on a 1-million-line UTF-8 file beside
//   std::getline into a vector of strings.
// The files are written once into a fresh folder under $TMPDIR (or /tmp) and
// removed with it when the program ends. Every round reads the whole file.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <iconv.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <kxutils96/files/text_file_lines.h>
#include <kxutils96/files/text_file_reader.h>
#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/strings/zqv_string_array.h>

#include "process_memory.h"
#include "side_by_side.h"

namespace {

using kxu::bench::ProcStatusBytes;
using kxu::bench::ResetPeakMemory;

// The big UTF-8 file's size: KXU_BENCH_FILE_MB megabytes, 1 GiB by default.
std::size_t Utf8FileBytes() {
  const char* mb = std::getenv("KXU_BENCH_FILE_MB");
  const std::size_t nMegabytes = mb != nullptr ? std::strtoull(mb, nullptr, 10) : 0;
  return (nMegabytes != 0 ? nMegabytes : 1024) << 20;
}

constexpr std::size_t kUtf16FileBytes = std::size_t{64} << 20;
constexpr int kLineCount = 1'000'000;
constexpr std::size_t kReadChunk = std::size_t{1} << 20;

// A line of mixed Latin and accented text, 64 bytes of UTF-8 with its LF.
const std::string kSampleLine =
    "Messwert 12.5; caf\xC3\xA9 na\xC3\xAFve \xC3\xA9l\xC3\xA8ve; Gr\xC3\xB6\xC3\x9F"
    "e der Probe\n";

// The benchmark files, written once and removed with their folder at exit.
class BenchFiles {
 public:
  BenchFiles() : m_dir(MakeFolder()) {
    WriteRepeated(Utf8Path(), Utf8FileBytes());
    WriteUtf16(Utf16Path(), kUtf16FileBytes);
    WriteLines(LinesPath(), kLineCount);
  }
  BenchFiles(const BenchFiles&) = delete;
  BenchFiles& operator=(const BenchFiles&) = delete;
  ~BenchFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
  }

  std::string Utf8Path() const { return (m_dir / "utf8.txt").string(); }
  std::string Utf16Path() const { return (m_dir / "utf16.txt").string(); }
  std::string LinesPath() const { return (m_dir / "lines.txt").string(); }

 private:
  static std::filesystem::path MakeFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp");
    pattern += "/kxu_files_bench_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp " + pattern);
    return pattern;
  }

  // Writes sample lines until the file has about `nBytes` bytes.
  static void WriteRepeated(const std::string& path, std::size_t nBytes) {
    std::ofstream out(path, std::ios::binary);
    for (std::size_t n = 0; n < nBytes; n += kSampleLine.size()) out << kSampleLine;
  }

  static void WriteUtf16(const std::string& path, std::size_t nBytes) {
    const auto units = kxu::platform::Utf8ToUtf16(kSampleLine);
    std::ofstream out(path, std::ios::binary);
    out.write("\xFF\xFE", 2);
    const auto nLineBytes = static_cast<std::streamsize>(units.size() * sizeof(WCHAR));
    for (std::size_t n = 2; n < nBytes; n += static_cast<std::size_t>(nLineBytes)) {
      out.write(reinterpret_cast<const char*>(units.data()), nLineBytes);
    }
  }

  static void WriteLines(const std::string& path, int nLines) {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < nLines; ++i) out << "line " << i << ' ' << kSampleLine;
  }

  std::filesystem::path m_dir;
};

const BenchFiles& Files() {
  static const BenchFiles files;
  return files;
}

std::size_t FileSize(const std::string& path) {
  return static_cast<std::size_t>(std::filesystem::file_size(path));
}

// Reads the whole file with read() into `buffer` (room for `nSize` bytes and
// a NUL); returns the bytes read.
std::size_t ReadInto(const std::string& path, char* buffer, std::size_t nSize) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("open " + path);
  std::size_t nDone = 0;
  while (nDone < nSize) {
    const ssize_t n = ::read(fd, buffer + nDone, std::min(kReadChunk, nSize - nDone));
    if (n <= 0) break;
    nDone += static_cast<std::size_t>(n);
  }
  ::close(fd);
  buffer[nDone] = '\0';
  return nDone;
}

// Reads the whole file with read() into a new buffer of its size.
std::unique_ptr<char[]> PlainRead(const std::string& path, std::size_t nSize) {
  auto buffer = std::make_unique_for_overwrite<char[]>(nSize + 1);
  ReadInto(path, buffer.get(), nSize);
  return buffer;
}

constexpr int kRounds = 7;
constexpr int kFreshRounds = 3;

void Rows(benchmark::internal::Benchmark* bench, int nRounds) {
  bench->Iterations(nRounds)->Unit(benchmark::kMillisecond)->UseRealTime();
}

void BM_Utf8File_Reused(benchmark::State& state) {
  const std::string path = Files().Utf8Path();
  const std::size_t nSize = FileSize(path);
  CStringUTF8 text;
  auto buffer = std::make_unique<char[]>(nSize + 1);
  kxu::bench::SideBySide(
      state, static_cast<double>(nSize),
      [&] {
        kxu_read_text_file(path.c_str(), &text, 0);
        if (static_cast<std::size_t>(text.GetLength()) != nSize) state.SkipWithError("short");
      },
      [&] { benchmark::DoNotOptimize(ReadInto(path, buffer.get(), nSize)); });
}

void BM_Utf8File_Fresh(benchmark::State& state) {
  const std::string path = Files().Utf8Path();
  const std::size_t nSize = FileSize(path);
  double peakOverFile = 0;
  kxu::bench::SideBySide(
      state, static_cast<double>(nSize),
      [&] {
        const std::size_t nBefore = ProcStatusBytes("VmRSS:");
        ResetPeakMemory();
        CStringUTF8 text;
        kxu_read_text_file(path.c_str(), &text, 0);
        const std::size_t nPeak = ProcStatusBytes("VmHWM:");
        peakOverFile = std::max(peakOverFile, static_cast<double>(nPeak - nBefore) / nSize);
      },
      [&] { benchmark::DoNotOptimize(PlainRead(path, nSize).get()); });
  state.counters["lib_peak_per_file_byte"] = peakOverFile;
}

void BM_Utf16File(benchmark::State& state) {
  const std::string path = Files().Utf16Path();
  const std::size_t nSize = FileSize(path);
  iconv_t cd = iconv_open("UTF-8", "UTF-16");
  CStringUTF8 text;
  const std::size_t nOutRoom = nSize / 2 * 3 + 1;
  auto out = std::make_unique<char[]>(nOutRoom);
  auto in = std::make_unique<char[]>(nSize + 1);
  kxu::bench::SideBySide(
      state, static_cast<double>(nSize), [&] { kxu_read_text_file(path.c_str(), &text, 0); },
      [&] {
        // Reads the file and converts it, mark included, with iconv.
        ReadInto(path, in.get(), nSize);
        char* pIn = in.get();
        char* pOut = out.get();
        std::size_t nInLeft = nSize;
        std::size_t nOutLeft = nOutRoom;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        benchmark::DoNotOptimize(iconv(cd, &pIn, &nInLeft, &pOut, &nOutLeft));
      });
  iconv_close(cd);
}

void BM_Lines(benchmark::State& state) {
  const std::string path = Files().LinesPath();
  kxu::bench::SideBySide(
      state, static_cast<double>(FileSize(path)),
      [&] {
        CZQVStringArray lines;
        if (kxuReadTextFileLines(path.c_str(), &lines, 0) != kLineCount) {
          state.SkipWithError("lines lost");
        }
      },
      [&] {
        std::ifstream in(path, std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) lines.push_back(line);
        benchmark::DoNotOptimize(lines.data());
      });
}

BENCHMARK(BM_Utf8File_Reused)->Apply([](benchmark::internal::Benchmark* bench) {
  Rows(bench, kRounds);
});
BENCHMARK(BM_Utf8File_Fresh)->Apply([](benchmark::internal::Benchmark* bench) {
  Rows(bench, kFreshRounds);
});
BENCHMARK(BM_Utf16File)->Apply([](benchmark::internal::Benchmark* bench) { Rows(bench, kRounds); });
BENCHMARK(BM_Lines)->Apply([](benchmark::internal::Benchmark* bench) { Rows(bench, kRounds); });

}  // namespace
