# Helpers that build the library out of one object library per folder.
include_guard(GLOBAL)

option(KXUTILS96_WERROR "Treat compiler warnings as errors" OFF)

set(KXU_INCLUDE_ROOT ${PROJECT_BINARY_DIR}/kxu_include)

# Links FOLDERS of the source tree under DIR, so that <kxutils96/FOLDER/x.h>
# names the source file itself.
function(kxu_link_header_tree dir)
  file(MAKE_DIRECTORY ${dir})
  foreach(folder IN LISTS ARGN)
    if(NOT EXISTS ${dir}/${folder})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${dir}/${folder} SYMBOLIC COPY_ON_ERROR)
    endif()
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

# kxu_component(NAME SOURCES... [DEPS targets...])
# One folder of the library: an object library whose objects end up in the
# shared library (and in the static one the tests link).
function(kxu_component name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
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
  target_include_directories(${name} ${scope}
    $<BUILD_INTERFACE:${KXU_INCLUDE_ROOT}>
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
    $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/kxu_generated>)
  target_compile_features(${name} ${scope} cxx_std_20)
  if(ARG_DEPS)
    target_link_libraries(${name} ${scope} ${ARG_DEPS})
  endif()
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
  set_target_properties(kxUtils96 PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
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
  target_include_directories(kxUtils96 PUBLIC
    $<BUILD_INTERFACE:${KXU_INCLUDE_ROOT}>
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
    $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/kxu_generated>
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
