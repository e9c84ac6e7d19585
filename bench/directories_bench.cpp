// Directory copy and delete beside the system's own tools on the same trees:
// - kxuCopyDirectory of 10,000 files of 4 KiB (100 folders of 100 files)
//   beside `cp -r` of the same tree, alternating in one run;
// - kxuCopyDirectory of 100 files of 2 MB beside `cp -r`, likewise;
// - kxuDelFiles of 10,000 files in one folder beside
//   `find DIR -maxdepth 1 -type f -delete`.
// The trees are written once into a fresh folder under $TMPDIR (or /tmp) and
// removed with it when the program ends; TMPDIR=/dev/shm measures the copies
// on tmpfs, where the disk's write-back does not decide. Each copy goes to a
// destination that does not exist yet, and the copies are removed when their
// row ends; each deletion starts from a freshly written folder. On ext4
// without a journal, run it on a file system that has not seen mass removals
// in the last minutes (see CopiesSideBySide).
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

// Copies `source` with kxuCopyDirectory and with `cp -r`, the side that goes
// first alternating, each round into new destinations, and reports the
// medians. The copies are kept until the row ends: a file system may keep
// the inodes a removal freed off limits for a while and have every create
// search past them (ext4 without a journal does, for minutes), and a
// removal between rounds would have the row time that search, not the copy.
void CopiesSideBySide(benchmark::State& state, const fs::path& source, double nBytes) {
  fs::remove_all(Trees().Scratch());
  fs::create_directories(Trees().Scratch());
  int nLibraryCopies = 0;
  int nAnchorCopies = 0;
  const auto timeLibrary = [&] {
    const fs::path copy = Trees().Scratch() / ("kxu" + std::to_string(nLibraryCopies++));
    return kxu::bench::TimingOf([&] { KxuCopy(source, copy); });
  };
  const auto timeAnchor = [&] {
    const fs::path copy = Trees().Scratch() / ("cp" + std::to_string(nAnchorCopies++));
    const double childrenBefore = ChildrenCpuSeconds();
    kxu::bench::Timing run = kxu::bench::TimingOf([&] { CpCopy(source, copy); });
    run.cpu = ChildrenCpuSeconds() - childrenBefore;
    return run;
  };
  kxu::bench::ReportMedians(
      state,
      kxu::bench::TimeRounds(state, timeLibrary, timeAnchor, kxu::bench::RoundOrder::kAlternating),
      nBytes);
  fs::remove_all(Trees().Scratch());
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
