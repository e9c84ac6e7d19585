# Test and benchmark frameworks come from the system packages. A missing one
# stops the configure step with the Debian package that provides it.
include_guard(GLOBAL)

function(kxu_require_gtest)
  find_package(GTest CONFIG QUIET)
  if(NOT GTest_FOUND)
    find_package(GTest QUIET)
  endif()
  if(NOT TARGET GTest::gtest_main)
    message(FATAL_ERROR "GoogleTest was not found. Install it with: apt-get install libgtest-dev "
                        "(or configure with -DKXUTILS96_BUILD_TESTS=OFF)")
  endif()
endfunction()

function(kxu_require_benchmark)
  find_package(benchmark CONFIG QUIET)
  if(NOT TARGET benchmark::benchmark)
    message(FATAL_ERROR "Google Benchmark was not found. Install it with: apt-get install libbenchmark-dev "
                        "(or configure with -DKXUTILS96_BUILD_BENCHMARKS=OFF)")
  endif()
endfunction()

function(kxu_require_cli11)
  find_package(CLI11 CONFIG QUIET)
  if(NOT TARGET CLI11::CLI11)
    message(FATAL_ERROR "CLI11 was not found. Install it with: apt-get install libcli11-dev "
                        "(or configure with -DKXUTILS96_BUILD_TOOLS=OFF)")
  endif()
endfunction()
