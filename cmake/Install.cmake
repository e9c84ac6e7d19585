# Installs the library, its public headers, a CMake package
# (find_package(kxutils96 CONFIG) -> kxutils96::kxUtils96) and a pkg-config file.
include(CMakePackageConfigHelpers)

set(KXU_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/kxutils96)
set(KXU_INSTALL_HEADERDIR ${CMAKE_INSTALL_INCLUDEDIR}/kxutils96)

# The headers a client's code sees; everything else stays inside the build.
set(KXU_PUBLIC_HEADERS
  platform/win_types.h
  platform/afx_object.h
  platform/afx_exception.h
  platform/afx_string.h
  platform/afx_coll.h
  platform/afx_file.h
  platform/afx_archive.h
  platform/afx_message_box.h
  host/zstrings96/zstrings96.h
  host/zstrings96/string_utf8.h
  host/zstrings96/text_stdio_file.h
  strings/zqv_string_array.h
  strings/encoding_conversions.h
  frame/host_object.h
  tokens/token_splitter.h
  tokens/join_tokens.h
  tokens/separate_by_str.h
  tokens/key_values.h
  tokens/csv_line.h
  tokens/numeric_suffix.h
  sort/sort_family.h
  sort/generic_callbacks.h
  data/missing_values.h
  data/discrete_frequencies.h
  data/remove_unchanged_items.h
  format/keyword_replace.h
  format/wrap_pad.h
  format/escaping.h
  format/source_text.h
  format/multi_str_reorder.h
  format/ordered_format.h
  format/message_loading.h
  files/text_file_reader.h
  files/text_file_lines.h
  files/file_writer.h
  files/directories.h
  files/gimp_palette.h
  files/relative_path.h
  shell/shell_item.h)

install(TARGETS kxUtils96 EXPORT kxutils96Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

foreach(header IN LISTS KXU_PUBLIC_HEADERS)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${KXU_INSTALL_HEADERDIR}/${folder})
endforeach()
install(FILES
  ${PROJECT_SOURCE_DIR}/include/kxutils96/kxutils96.h
  ${PROJECT_BINARY_DIR}/kxu_generated/kxutils96/kxu_export.h
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
