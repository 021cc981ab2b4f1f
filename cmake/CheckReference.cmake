# Checks that every artefact written from the description of the exports names exactly the
# exports of the table, once each; any of them may be given:
#  - REFERENCE, the script writer's reference (docs/exports.md): a "### name" heading each;
#    with GENERATED (the reference the build just wrote from docs/exports.txt), also that it is
#    current: the same text;
#  - DECLARATIONS, the HSP declaration file (tavikit.as): "#func name name" and four parameter
#    types each, in the HSP 2.x-compatible form, and no other declaration;
#  - HELP, the editor's help source (tavikit.hs), read by the rules of HSP's help format: ";"
#    lines are comments, a "%tag" line starts a field that runs to the next, and the first line of
#    an %index field is the keyword; the header names the plug-in in %dll.
#   cmake [-DREFERENCE=docs/exports.md [-DGENERATED=build/src/exports.md]]
#         [-DDECLARATIONS=tavikit.as] [-DHELP=tavikit.hs] -P CheckReference.cmake
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/TavikitExports.cmake")
set(errors "")
set(summary "")

# The names of <found-var> once each, and the table's names.
macro(check_names what found_var)
  list(LENGTH ${found_var} count)
  set(distinct ${${found_var}})
  list(REMOVE_DUPLICATES distinct)
  list(LENGTH distinct distinct_count)
  if(NOT distinct_count EQUAL count)
    string(APPEND errors "${what}: a name appears more than once\n")
  endif()
  tavikit_compare_exports(errors "${what}" ${found_var})
  string(APPEND summary " ${what}: ${count};")
endmacro()

if(REFERENCE)
  file(STRINGS "${REFERENCE}" headings REGEX "^### ")
  list(TRANSFORM headings REPLACE "^### `?([A-Za-z0-9_]+)`?.*$" "\\1")
  check_names("entries of ${REFERENCE}" headings)
  if(GENERATED)
    file(READ "${REFERENCE}" kept)
    file(READ "${GENERATED}" written)
    if(NOT kept STREQUAL written)
      string(APPEND errors "${REFERENCE} is not what docs/exports.txt gives: run "
             "cmake -P cmake/TavikitReference.cmake\n")
    endif()
  endif()
endif()

if(DECLARATIONS)
  file(STRINGS "${DECLARATIONS}" lines REGEX "^#(func|cfunc|uselib|define|ifndef|endif)")
  set(declared "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^#func ([A-Za-z0-9_]+) ([A-Za-z0-9_]+) [a-z]+,[a-z]+,[a-z]+,[a-z]+\r?$" AND
       CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
      list(APPEND declared "${CMAKE_MATCH_1}")
    elseif(NOT line MATCHES "^#(uselib \"Tavikit.DLL\"|ifndef|define|endif)")
      string(APPEND errors "${DECLARATIONS}: not a declaration of an export: ${line}\n")
    endif()
  endforeach()
  check_names("declarations of ${DECLARATIONS}" declared)
endif()

if(HELP)
  # Line by line, with the characters that would split or join CMake list items taken out.
  file(READ "${HELP}" text)
  string(ASCII 1 semicolon)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REGEX REPLACE "[][\\]" "_" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(tag "")
  set(keywords "")
  set(dll "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "\r$" "" line "${line}")
    if(line MATCHES "^${semicolon}")
      continue()
    elseif(line MATCHES "^%([a-z]+)")
      set(tag "${CMAKE_MATCH_1}")
      set(field_line 0)
    else()
      math(EXPR field_line "${field_line} + 1")
      if(tag STREQUAL "index" AND field_line EQUAL 1)
        list(APPEND keywords "${line}")
      elseif(tag STREQUAL "dll" AND field_line EQUAL 1)
        set(dll "${line}")
      endif()
    endif()
  endforeach()
  if(NOT dll STREQUAL "Tavikit")
    string(APPEND errors "${HELP}: %dll is \"${dll}\", not Tavikit\n")
  endif()
  check_names("entries of ${HELP}" keywords)
endif()

if(errors)
  message(FATAL_ERROR "${errors}")
endif()
message(STATUS "names checked against the export table:${summary}")
