// A sort whose working room cannot be had still sorts, by comparisons in
// place: a child process, its address space limited to what it already
// holds, sorts values that need room of their own size.
#include <kxutils96/sort/sort_family.h>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

// The sanitizers map memory of their own as they go.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer) || __has_feature(thread_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// Limits the process's address space to what it maps now and 1 MiB more.
bool LimitAddressSpaceToNow() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  unsigned long nPages = 0;
  const bool bRead = statm != nullptr && std::fscanf(statm, "%lu", &nPages) == 1;
  if (statm != nullptr) std::fclose(statm);
  const auto nPageBytes = static_cast<unsigned long>(::sysconf(_SC_PAGESIZE));
  const rlimit limit{nPages * nPageBytes + (1 << 20), RLIM_INFINITY};
  return bRead && ::setrlimit(RLIMIT_AS, &limit) == 0;
}

TEST(SortWithoutRoom, SortsInPlaceByComparisons) {
  if (kSanitized) GTEST_SKIP() << "the sanitizers need address space the limit takes away";
  EXPECT_EXIT(
      {
        std::vector<double> values(std::size_t{1} << 21);  // 16 MiB
        std::mt19937 random(7);
        for (double& value : values) value = static_cast<double>(random());
        if (!LimitAddressSpaceToNow()) std::exit(2);
        kxutilsSortBuff(values.data(), static_cast<int>(values.size()), 0, nullptr);
        std::exit(std::is_sorted(values.begin(), values.end()) ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
