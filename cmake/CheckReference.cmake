# Checks that the script writer's reference (docs/exports.md) has one entry, a "### name" heading,
# for every export of the table and none more.
#   cmake -DREFERENCE=docs/exports.md -P CheckReference.cmake
include("${CMAKE_CURRENT_LIST_DIR}/TavikitExports.cmake")
file(STRINGS "${REFERENCE}" headings REGEX "^### ")
list(TRANSFORM headings REPLACE "^### `?([A-Za-z0-9_]+)`?.*$" "\\1")
set(errors "")
list(LENGTH headings count)
list(REMOVE_DUPLICATES headings)
list(LENGTH headings distinct)
if(NOT distinct EQUAL count)
  string(APPEND errors "an export has more than one entry\n")
endif()
tavikit_compare_exports(errors "entries of ${REFERENCE}" headings)
if(errors)
  message(FATAL_ERROR "${errors}")
endif()
message(STATUS "${REFERENCE}: ${count} entries, one per export")
