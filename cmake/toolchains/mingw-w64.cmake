# What both mingw-w64 toolchain files share: Debian's compilers for
# KXU_MINGW_TRIPLE (posix threads), looking for libraries in that target's own
# folder only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KXU_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KXU_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KXU_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KXU_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The DLL and every program carry their own C++ run time, so that the host
# (or Wine) needs nothing beside kxUtils96.dll.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

