# Cross-compiles for 32-bit Windows with Debian's mingw-w64 (posix threads).
# SSE2 is the floor (every processor that runs the host's Windows has it), and
# floating point goes through it rather than the x87 unit, as on 64-bit (see
# the README). The compiler realigns the stack where SSE data needs it
# (-mstackrealign is its default for this target), since a host built by
# another compiler may call with a stack aligned to 4 bytes only.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KXU_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
