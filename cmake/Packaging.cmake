# `cpack -G DEB` from a build folder makes a Debian package of what
# `cmake --install` installs: the library, its headers, the CMake package,
# the pkg-config file, the kxu tool and the files installed beside it.
set(CPACK_PACKAGE_NAME kxutils96)
set(CPACK_PACKAGE_VENDOR "kxUtils96 developers")
set(CPACK_PACKAGE_CONTACT "kxUtils96 developers <kxutils96@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The package's run-time dependencies come from the binaries themselves when
# dpkg-shlibdeps is there (Debian's dpkg-dev).
find_program(KXU_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KXU_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6")
endif()
set(CPACK_GENERATOR DEB)
include(CPack)
