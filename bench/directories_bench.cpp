// Directory copy and delete beside the system's own tools on the same trees:
// - kxuCopyDirectory of 10,000 files of 4 KiB (100 folders of 100 files)
//   beside `cp -r` of the same tree;
// - kxuCopyDirectory of 20 files of 50 MB beside `cp -r`;
// - kxuDelFiles of 10,000 files in one folder beside
//   `find DIR -maxdepth 1 -type f -delete`.
// The trees are written once into a fresh folder under $TMPDIR (or /tmp) and
// removed with it when the program ends. Each copy goes to a destination
// that does not exist yet and is removed, outside the timed part, after the
// iteration; each deletion starts from a freshly written folder. Times are
// wall-clock (the tools run as child processes). The tools are started
// through the shell, which adds about a millisecond to their side.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <kxutils96/files/directories.h>

namespace {

namespace fs = std::filesystem;

constexpr int kSmallFolders = 100;
constexpr int kSmallFilesPerFolder = 100;
constexpr std::size_t kSmallFileBytes = 4096;
constexpr int kLargeFiles = 20;
constexpr std::size_t kLargeFileBytes = std::size_t{50} << 20;
constexpr int kFilesToDelete = 10'000;

void WriteFile(const fs::path& path, std::size_t nBytes, char fill) {
  static const std::string chunk(std::size_t{1} << 20, 'x');
  std::ofstream out(path, std::ios::binary);
  std::string head(std::min(nBytes, chunk.size()), fill);
  out.write(head.data(), static_cast<std::streamsize>(head.size()));
  for (std::size_t n = head.size(); n < nBytes; n += chunk.size()) {
    out.write(chunk.data(), static_cast<std::streamsize>(std::min(chunk.size(), nBytes - n)));
  }
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The benchmark trees, written once and removed with their folder at exit.
class BenchTrees {
 public:
  BenchTrees() : m_dir(MakeFolder()) {
    for (int d = 0; d < kSmallFolders; ++d) {
      const fs::path folder = SmallTree() / ("folder " + std::to_string(d));
      fs::create_directories(folder);
      for (int f = 0; f < kSmallFilesPerFolder; ++f) {
        WriteFile(folder / ("file" + std::to_string(f) + ".dat"), kSmallFileBytes,
                  static_cast<char>('a' + f % 26));
      }
    }
    fs::create_directories(LargeTree());
    for (int f = 0; f < kLargeFiles; ++f) {
      WriteFile(LargeTree() / ("large" + std::to_string(f) + ".bin"), kLargeFileBytes,
                static_cast<char>('a' + f));
    }
  }
  BenchTrees(const BenchTrees&) = delete;
  BenchTrees& operator=(const BenchTrees&) = delete;
  ~BenchTrees() {
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
  }

  fs::path SmallTree() const { return m_dir / "small"; }
  fs::path LargeTree() const { return m_dir / "large"; }
  fs::path Scratch() const { return m_dir / "scratch"; }

 private:
  static fs::path MakeFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp");
    pattern += "/kxu_directories_bench_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp " + pattern);
    return pattern;
  }

  fs::path m_dir;
};

const BenchTrees& Trees() {
  static const BenchTrees trees;
  return trees;
}

void RunShell(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

std::string Quoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

// Times `copy(source, destination)` for each iteration, the destination
// being removed afterwards outside the timed part.
template <class Copy>
void TimeCopies(benchmark::State& state, const fs::path& source, Copy copy) {
  const fs::path destination = Trees().Scratch();
  fs::remove_all(destination);
  for (auto _ : state) {
    copy(source, destination);
    state.PauseTiming();
    fs::remove_all(destination);
    state.ResumeTiming();
  }
}

void KxuCopy(const fs::path& source, const fs::path& destination) {
  if (kxuCopyDirectory(source.c_str(), destination.c_str(), 1, nullptr, nullptr, 0) != 1) {
    throw std::runtime_error("kxuCopyDirectory failed");
  }
}

void CpCopy(const fs::path& source, const fs::path& destination) {
  RunShell("cp -r " + Quoted(source) + " " + Quoted(destination));
}

void BM_CopySmallFiles_kxuCopyDirectory(benchmark::State& state) {
  TimeCopies(state, Trees().SmallTree(), KxuCopy);
}

void BM_CopySmallFiles_cp_r(benchmark::State& state) {
  TimeCopies(state, Trees().SmallTree(), CpCopy);
}

void BM_CopyLargeFiles_kxuCopyDirectory(benchmark::State& state) {
  TimeCopies(state, Trees().LargeTree(), KxuCopy);
}

void BM_CopyLargeFiles_cp_r(benchmark::State& state) {
  TimeCopies(state, Trees().LargeTree(), CpCopy);
}

// Times `remove(folder)` on a folder of freshly written small files.
template <class Remove>
void TimeDeletions(benchmark::State& state, Remove remove) {
  const fs::path folder = Trees().Scratch();
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int f = 0; f < kFilesToDelete; ++f) {
      WriteFile(folder / ("file" + std::to_string(f) + ".dat"), kSmallFileBytes, 'd');
    }
    state.ResumeTiming();
    remove(folder);
  }
  fs::remove_all(folder);
}

void BM_DeleteFiles_kxuDelFiles(benchmark::State& state) {
  TimeDeletions(state, [](const fs::path& folder) {
    if (kxuDelFiles(folder.c_str(), "*.*", nullptr) != kFilesToDelete) {
      throw std::runtime_error("kxuDelFiles deleted too few");
    }
  });
}

void BM_DeleteFiles_find_delete(benchmark::State& state) {
  TimeDeletions(state, [](const fs::path& folder) {
    RunShell("find " + Quoted(folder) + " -maxdepth 1 -type f -delete");
  });
}

}  // namespace

BENCHMARK(BM_CopySmallFiles_kxuCopyDirectory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopySmallFiles_cp_r)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyLargeFiles_kxuCopyDirectory)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(BM_CopyLargeFiles_cp_r)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_DeleteFiles_kxuDelFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_DeleteFiles_find_delete)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
