# Installs the library, its public headers, a CMake package
# (find_package(kxutils96 CONFIG) -> kxutils96::kxUtils96) and a pkg-config file.
include(CMakePackageConfigHelpers)

set(KXU_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/kxutils96)
install(TARGETS kxUtils96 EXPORT kxutils96Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The public headers are installed by the folders that declare them
# (kxu_component's HEADERS); here only the generated one.
install(FILES ${PROJECT_BINARY_DIR}/kxu_generated/kxutils96/kxu_export.h
  DESTINATION ${KXU_INSTALL_HEADERDIR})

install(EXPORT kxutils96Targets NAMESPACE kxutils96:: DESTINATION ${KXU_INSTALL_CMAKEDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/kxutils96Config.cmake.in
  ${PROJECT_BINARY_DIR}/kxutils96Config.cmake
  INSTALL_DESTINATION ${KXU_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kxutils96ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/kxutils96Config.cmake
  ${PROJECT_BINARY_DIR}/kxutils96ConfigVersion.cmake
  DESTINATION ${KXU_INSTALL_CMAKEDIR})

# The .pc file finds the prefix from its own place, so it stays right for
# `cmake --install --prefix P` and for packages.
file(RELATIVE_PATH KXU_PC_PREFIX /pc/${CMAKE_INSTALL_LIBDIR}/pkgconfig /pc)
configure_file(${PROJECT_SOURCE_DIR}/cmake/kxutils96.pc.in ${PROJECT_BINARY_DIR}/kxutils96.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kxutils96.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
