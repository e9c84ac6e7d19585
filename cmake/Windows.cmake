# Building for Windows from Linux: programs run under Wine, each build with a
# Wine prefix of its own under the build folder.
include_guard(GLOBAL)

if(WIN32 AND CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${PROJECT_SOURCE_DIR}/cmake/toolchains/wine-run ${PROJECT_BINARY_DIR}/wineprefix)
endif()
