# The API reference: HTML made by Doxygen from the comments of the public
# headers (those a client of the installed package sees), into
# build/PRESET/docs/html/index.html. The `docs` target exists only where
# doxygen is found; a warning of doxygen fails it.
find_package(Doxygen QUIET)
if(NOT DOXYGEN_FOUND)
  return()
endif()

get_property(kxu_public_headers GLOBAL PROPERTY KXU_PUBLIC_HEADERS)
set(DOXYGEN_PROJECT_NAME kxUtils96)
set(DOXYGEN_PROJECT_BRIEF "the library's public headers")
set(DOXYGEN_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/docs)
set(DOXYGEN_GENERATE_LATEX NO)
# The headers' comments are plain // comments in the house style, each
# before what it describes: a filter makes them Doxygen's.
find_program(KXU_AWK NAMES awk gawk mawk REQUIRED)
set(DOXYGEN_INPUT_FILTER "${KXU_AWK} -f ${PROJECT_SOURCE_DIR}/cmake/doxygen_comments.awk")
set(DOXYGEN_JAVADOC_AUTOBRIEF YES)
set(DOXYGEN_EXTRACT_ALL YES)
set(DOXYGEN_MARKDOWN_SUPPORT YES)
set(DOXYGEN_STRIP_FROM_PATH ${PROJECT_SOURCE_DIR})
set(DOXYGEN_STRIP_FROM_INC_PATH ${PROJECT_SOURCE_DIR})
set(DOXYGEN_FULL_PATH_NAMES YES)
set(DOXYGEN_EXCLUDE_SYMBOLS "detail" "*::detail")
set(DOXYGEN_MACRO_EXPANSION YES)
set(DOXYGEN_PREDEFINED "KXU_API=" "__cplusplus=202002L")
set(DOXYGEN_QUIET YES)
set(DOXYGEN_WARN_IF_UNDOCUMENTED NO)
set(DOXYGEN_WARN_AS_ERROR FAIL_ON_WARNINGS)
doxygen_add_docs(docs ${kxu_public_headers}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Writing the API reference into ${PROJECT_BINARY_DIR}/docs/html")
