# Helpers that build the library out of one object library per folder.
include_guard(GLOBAL)

option(KXUTILS96_WERROR "Treat compiler warnings as errors" OFF)

# Sources include one another as <kxutils96/FOLDER/x.h>, the path they live
# at from the repository root; the generated export header has its own root.
set(KXU_INCLUDE_ROOTS
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
  $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/kxu_generated>)
set(KXU_INSTALL_HEADERDIR ${CMAKE_INSTALL_INCLUDEDIR}/kxutils96)

# kxu_install_headers(HEADERS...)
# Installs headers of the current folder (paths relative to it) at the path a
# client includes them by: kxutils96/tokens/csv_line.h goes to
# include/kxutils96/tokens/csv_line.h. The global property KXU_PUBLIC_HEADERS
# lists them all (full paths), for the API reference.
function(kxu_install_headers)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/kxutils96 ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(header IN LISTS ARGN)
    get_filename_component(subfolder ${folder}/${header} DIRECTORY)
    install(FILES ${header} DESTINATION ${KXU_INSTALL_HEADERDIR}/${subfolder})
    set_property(GLOBAL APPEND PROPERTY KXU_PUBLIC_HEADERS ${CMAKE_CURRENT_SOURCE_DIR}/${header})
  endforeach()
endfunction()

function(kxu_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(KXUTILS96_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()

# kxu_component(NAME SOURCES... [HEADERS...] [DEPS targets...])
# One folder of the library: an object library whose objects end up in the
# shared library (and in the static one the tests link). HEADERS are the
# folder's public headers, the ones a client of the installed package sees;
# the others stay inside the build.
function(kxu_component name)
  cmake_parse_arguments(ARG "" "" "SOURCES;HEADERS;DEPS" ${ARGN})
  if(ARG_SOURCES)
    add_library(${name} OBJECT ${ARG_SOURCES})
    set(scope PUBLIC)
    target_compile_definitions(${name} PRIVATE kxUtils96_EXPORTS)
    kxu_set_warnings(${name})
    set_property(GLOBAL APPEND PROPERTY KXU_OBJECT_COMPONENTS ${name})
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} ${KXU_INCLUDE_ROOTS})
  target_compile_features(${name} ${scope} cxx_std_20)
  if(ARG_DEPS)
    target_link_libraries(${name} ${scope} ${ARG_DEPS})
  endif()
  kxu_install_headers(${ARG_HEADERS})
endfunction()

# The shared library kxUtils96 and its static twin kxutils96_internal, which
# tests link to reach routines the shared library does not export.
function(kxu_add_library)
  get_property(components GLOBAL PROPERTY KXU_OBJECT_COMPONENTS)
  set(objects)
  foreach(component IN LISTS components)
    list(APPEND objects $<TARGET_OBJECTS:${component}>)
  endforeach()

  add_library(kxUtils96 SHARED ${objects})
  add_library(kxutils96::kxUtils96 ALIAS kxUtils96)
  # Built at the top of the build tree (build/PRESET/kxUtils96.dll,
  # build/PRESET/libkxUtils96.so), not in the folder that declares it.
  set_target_properties(kxUtils96 PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
    LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}
    RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
  if(WIN32)
    # The host loads kxUtils96.dll by that name.
    set_target_properties(kxUtils96 PROPERTIES PREFIX "")
  endif()
  target_compile_features(kxUtils96 PUBLIC cxx_std_20)
  if(CMAKE_CXX_COMPILER_LINKER_ID STREQUAL "GNU" OR (UNIX AND NOT APPLE))
    target_link_options(kxUtils96 PRIVATE
      -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/kxUtils96.map)
    set_property(TARGET kxUtils96 APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/kxUtils96.map)
  endif()
  target_include_directories(kxUtils96 PUBLIC ${KXU_INCLUDE_ROOTS}
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

  add_library(kxutils96_internal STATIC ${objects})
  target_link_libraries(kxutils96_internal PUBLIC ${components})
  # Its users link the objects themselves: on Windows they must not import
  # the library's names from the DLL.
  target_compile_definitions(kxutils96_internal INTERFACE KXU_STATIC_DEFINE)

  get_property(system_libraries GLOBAL PROPERTY KXU_SYSTEM_LIBRARIES)
  target_link_libraries(kxUtils96 PRIVATE ${system_libraries})
  target_link_libraries(kxutils96_internal PUBLIC ${system_libraries})

  include(GenerateExportHeader)
  generate_export_header(kxUtils96
    BASE_NAME KXU
    EXPORT_MACRO_NAME KXU_API
    EXPORT_FILE_NAME ${PROJECT_BINARY_DIR}/kxu_generated/kxutils96/kxu_export.h)
endfunction()
