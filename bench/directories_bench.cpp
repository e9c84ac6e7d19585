// Directory copy and delete beside the system's own tools on the same trees:
// - kxuCopyDirectory of 10,000 files of 4 KiB (100 folders of 100 files)
//   beside `cp -r` of the same tree, alternating in one run;
// - kxuCopyDirectory of 100 files of 2 MB beside `cp -r`, likewise;
// - kxuDelFiles of 10,000 files in one folder beside
//   `find DIR -maxdepth 1 -type f -delete`.
// The trees are written once into a fresh folder under $TMPDIR (or /tmp) and
// removed with it when the program ends; TMPDIR=/dev/shm measures the copies
// on tmpfs, where the disk's write-back does not decide. Each copy goes to a
// destination that does not exist yet and is removed, outside the timed
// part, after the round; each deletion starts from a freshly written folder.
// The copy rows give the medians of each side and their ratios (library over
// `cp`), in elapsed time and in processor time (the library's thread beside
// the `cp` process, which is started without a shell: its start is part of
// its time, as it is when a user runs it).
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <kxutils96/files/directories.h>

#include "side_by_side.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSmallFolders = 100;
constexpr int kSmallFilesPerFolder = 100;
constexpr std::size_t kSmallFileBytes = 4096;
constexpr int kLargeFiles = 100;
constexpr std::size_t kLargeFileBytes = std::size_t{2} << 20;
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

double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs `cp -r source destination` as its own process; its processor time is
// added to this process's children's.
void CpCopy(const fs::path& source, const fs::path& destination) {
  std::string program = "cp", recursive = "-r", from = source.string(), to = destination.string();
  char* argv[] = {program.data(), recursive.data(), from.data(), to.data(), nullptr};
  pid_t pid = 0;
  int status = 0;
  if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv, environ) != 0 ||
      waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("cp -r failed");
  }
}

void KxuCopy(const fs::path& source, const fs::path& destination) {
  if (kxuCopyDirectory(source.c_str(), destination.c_str(), 1, nullptr, nullptr, 0) != 1) {
    throw std::runtime_error("kxuCopyDirectory failed");
  }
}

// Copies `source` with kxuCopyDirectory and with `cp -r` in turn, each round
// into destinations that are removed afterwards, untimed; reports the median
// of each side and their ratios. The side that goes first alternates: a file
// system may keep the inodes a removal just freed off limits for a while,
// and the side that creates its files first then pays for passing them.
void CopiesSideBySide(benchmark::State& state, const fs::path& source, double nBytes) {
  const fs::path libraryCopy = Trees().Scratch() / "kxu";
  const fs::path anchorCopy = Trees().Scratch() / "cp";
  fs::remove_all(Trees().Scratch());
  fs::create_directories(Trees().Scratch());
  std::vector<double> libraryTimes, anchorTimes, libraryCpuTimes, anchorCpuTimes;
  bool bLibraryFirst = true;
  for (auto _ : state) {
    auto library = [&] { KxuCopy(source, libraryCopy); };
    auto anchor = [&] { CpCopy(source, anchorCopy); };
    kxu::bench::Timing libraryRun;
    kxu::bench::Timing anchorRun;
    const auto runLibrary = [&] { libraryRun = kxu::bench::TimingOf(library); };
    const auto runAnchor = [&] {
      const double childrenBefore = ChildrenCpuSeconds();
      anchorRun = kxu::bench::TimingOf(anchor);
      anchorRun.cpu = ChildrenCpuSeconds() - childrenBefore;
    };
    if (bLibraryFirst) {
      runLibrary();
      runAnchor();
    } else {
      runAnchor();
      runLibrary();
    }
    bLibraryFirst = !bLibraryFirst;
    libraryTimes.push_back(libraryRun.elapsed);
    libraryCpuTimes.push_back(libraryRun.cpu);
    anchorTimes.push_back(anchorRun.elapsed);
    anchorCpuTimes.push_back(anchorRun.cpu);
    state.PauseTiming();
    fs::remove_all(libraryCopy);
    fs::remove_all(anchorCopy);
    state.ResumeTiming();
  }
  if (libraryTimes.empty()) return;
  using kxu::bench::Median;
  state.counters["lib_ms"] = Median(libraryTimes) * 1e3;
  state.counters["cp_ms"] = Median(anchorTimes) * 1e3;
  state.counters["lib_cpu_ms"] = Median(libraryCpuTimes) * 1e3;
  state.counters["cp_cpu_ms"] = Median(anchorCpuTimes) * 1e3;
  state.counters["ratio"] = Median(libraryTimes) / Median(anchorTimes);
  state.counters["cpu_ratio"] = Median(libraryCpuTimes) / Median(anchorCpuTimes);
  state.counters["lib_MBps"] = nBytes / Median(libraryTimes) / 1e6;
}

void BM_CopySmallFiles_kxuCopyDirectory_vs_cp_r(benchmark::State& state) {
  CopiesSideBySide(state, Trees().SmallTree(),
                   double{kSmallFolders} * kSmallFilesPerFolder * kSmallFileBytes);
}

void BM_CopyLargeFiles_kxuCopyDirectory_vs_cp_r(benchmark::State& state) {
  CopiesSideBySide(state, Trees().LargeTree(), double{kLargeFiles} * kLargeFileBytes);
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

BENCHMARK(BM_CopySmallFiles_kxuCopyDirectory_vs_cp_r)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(15);
BENCHMARK(BM_CopyLargeFiles_kxuCopyDirectory_vs_cp_r)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(9);
BENCHMARK(BM_DeleteFiles_kxuDelFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_DeleteFiles_find_delete)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
