# Test and benchmark frameworks come from the system packages. A missing one
# stops the configure step with the Debian package that provides it.
include_guard(GLOBAL)

# Cross and 32-bit builds cannot link the system's prebuilt GoogleTest: they
# build it from the sources that Debian's libgtest-dev ships, when
# KXUTILS96_GTEST_SOURCE_DIR names them.
set(KXUTILS96_GTEST_SOURCE_DIR "" CACHE PATH
    "Build GoogleTest from these sources instead of using the installed package")

function(kxu_require_gtest)
  if(KXUTILS96_GTEST_SOURCE_DIR)
    if(NOT TARGET GTest::gtest_main)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
      add_subdirectory(${KXUTILS96_GTEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    endif()
    return()
  endif()
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
  if(CMAKE_CROSSCOMPILING)
    kxu_cli11_from_build_machine()
  else()
    find_package(CLI11 CONFIG QUIET)
  endif()
  if(NOT TARGET CLI11::CLI11)
    message(FATAL_ERROR "CLI11 was not found. Install it with: apt-get install libcli11-dev "
                        "(or configure with -DKXUTILS96_BUILD_TOOLS=OFF)")
  endif()
endfunction()

# CLI11 is header-only, so a cross build takes the build machine's copy, but
# only its own folder: the rest of /usr/include is the wrong system's.
function(kxu_cli11_from_build_machine)
  find_path(KXU_CLI11_ROOT CLI/CLI.hpp NO_CMAKE_FIND_ROOT_PATH)
  if(NOT KXU_CLI11_ROOT)
    return()
  endif()
  set(include_dir ${PROJECT_BINARY_DIR}/cli11_include)
  file(MAKE_DIRECTORY ${include_dir})
  if(NOT EXISTS ${include_dir}/CLI)
    file(CREATE_LINK ${KXU_CLI11_ROOT}/CLI ${include_dir}/CLI SYMBOLIC COPY_ON_ERROR)
  endif()
  add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
  target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${include_dir})
endfunction()
