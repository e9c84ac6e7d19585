// Text file reading beside plain baselines on the same files:
// - kxu_read_text_file on a 256 MB UTF-8 file beside a plain read() loop
//   into one buffer of the file's size;
// - kxu_read_text_file on a 64 MB UTF-16 LE file (with its mark) beside
//   reading the same bytes and converting them with iconv;
// - kxuReadTextFileLines on a 1-million-line UTF-8 file beside
//   std::getline into a vector of strings.
// The files are written once into a fresh folder under $TMPDIR (or /tmp) and
// removed with it when the program ends. Every iteration reads the whole
// file; results are allocated inside the timed loop on both sides.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <iconv.h>
#include <stdlib.h>
#include <unistd.h>

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
#include <kxutils96/platform/win32/unicode.h>
#include <kxutils96/strings/zqv_string_array.h>

namespace {

constexpr std::size_t kUtf8FileBytes = std::size_t{256} << 20;
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
    WriteRepeated(Utf8Path(), kUtf8FileBytes);
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

// Reads the whole file with read() into a new buffer of its size.
std::unique_ptr<char[]> PlainRead(const std::string& path, std::size_t nSize) {
  auto buffer = std::make_unique_for_overwrite<char[]>(nSize + 1);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("open " + path);
  std::size_t nDone = 0;
  while (nDone < nSize) {
    const ssize_t n = ::read(fd, buffer.get() + nDone, std::min(kReadChunk, nSize - nDone));
    if (n <= 0) break;
    nDone += static_cast<std::size_t>(n);
  }
  ::close(fd);
  buffer[nDone] = '\0';
  return buffer;
}

void ReportBytes(benchmark::State& state, std::size_t nBytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(nBytes));
}

void BM_Utf8File_kxu_read_text_file(benchmark::State& state) {
  const std::string path = Files().Utf8Path();
  for (auto _ : state) {
    CStringUTF8 text;
    benchmark::DoNotOptimize(kxu_read_text_file(path.c_str(), &text, 0));
    benchmark::DoNotOptimize(text.GetLength());
  }
  ReportBytes(state, FileSize(path));
}

void BM_Utf8File_PlainReadLoop(benchmark::State& state) {
  const std::string path = Files().Utf8Path();
  const std::size_t nSize = FileSize(path);
  for (auto _ : state) {
    auto buffer = PlainRead(path, nSize);
    benchmark::DoNotOptimize(buffer.get());
  }
  ReportBytes(state, nSize);
}

void BM_Utf16File_kxu_read_text_file(benchmark::State& state) {
  const std::string path = Files().Utf16Path();
  for (auto _ : state) {
    CStringUTF8 text;
    benchmark::DoNotOptimize(kxu_read_text_file(path.c_str(), &text, 0));
    benchmark::DoNotOptimize(text.GetLength());
  }
  ReportBytes(state, FileSize(path));
}

// Reads the file and converts it, mark included, from UTF-16 to UTF-8 with iconv.
void BM_Utf16File_ReadAndIconv(benchmark::State& state) {
  const std::string path = Files().Utf16Path();
  const std::size_t nSize = FileSize(path);
  iconv_t cd = iconv_open("UTF-8", "UTF-16");
  for (auto _ : state) {
    auto in = PlainRead(path, nSize);
    const std::size_t nOutRoom = nSize / 2 * 3 + 1;
    auto out = std::make_unique_for_overwrite<char[]>(nOutRoom);
    char* pIn = in.get();
    char* pOut = out.get();
    std::size_t nInLeft = nSize;
    std::size_t nOutLeft = nOutRoom;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(iconv(cd, &pIn, &nInLeft, &pOut, &nOutLeft));
    benchmark::DoNotOptimize(out.get());
  }
  iconv_close(cd);
  ReportBytes(state, nSize);
}

void ReportLines(benchmark::State& state) {
  state.counters["lines/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kLineCount, benchmark::Counter::kIsRate);
}

void BM_Lines_kxuReadTextFileLines(benchmark::State& state) {
  const std::string path = Files().LinesPath();
  for (auto _ : state) {
    CZQVStringArray lines;
    benchmark::DoNotOptimize(kxuReadTextFileLines(path.c_str(), &lines, 0));
  }
  ReportLines(state);
}

void BM_Lines_StdGetline(benchmark::State& state) {
  const std::string path = Files().LinesPath();
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    benchmark::DoNotOptimize(lines.data());
  }
  ReportLines(state);
}

BENCHMARK(BM_Utf8File_kxu_read_text_file)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Utf8File_PlainReadLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Utf16File_kxu_read_text_file)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Utf16File_ReadAndIconv)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Lines_kxuReadTextFileLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Lines_StdGetline)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
