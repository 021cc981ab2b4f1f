# Checks that every artefact written from the description of the exports names exactly the
# exports of the table, once each; any of them may be given:
#  - REFERENCE, the script writer's reference (docs/exports.md): a "### name" heading each;
#    with GENERATED (the reference the build just wrote from docs/exports.txt), also that it is
#    current: the same text;
#  - DECLARATIONS, the HSP declaration file (tavikit.as): for Windows "#func name name" and four
#    parameter types each, in the HSP 2.x-compatible form; for Linux "#func _name "name"" with four
#    types and a command "#deffunc name" each; no other declaration;
#  - HELP, the editor's help source in Japanese (hsphelp/tavikit.hs), and HELP_EN, its English
#    twin (hsphelp_en/tavikit.hs), each valid UTF-8 and read by the rules of HSP's help format:
#    ";" lines are comments, a "%tag" line starts a field that runs to the next, an %index field
#    holds the keyword and a title, and the header names the plug-in in %dll. Every entry has
#    %group, %prm, %inst and %sample; given both, they name the same keywords with the same
#    fields, HELP holds Japanese and HELP_EN nothing but ASCII;
#  - DESCRIPTION, the description of the exports (docs/exports.txt): every entry complete, in
#    every language (read as the build reads it).
#   cmake [-DREFERENCE=docs/exports.md [-DGENERATED=build/src/exports.md]]
#         [-DDECLARATIONS=tavikit.as] [-DHELP=tavikit.hs] [-DHELP_EN=tavikit_en.hs]
#         [-DDESCRIPTION=docs/exports.txt] -P CheckReference.cmake
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
  file(STRINGS "${DECLARATIONS}" lines REGEX "^#")
  set(declared "")
  set(imported "")
  set(commands "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "\r$" "" line "${line}")
    if(line MATCHES "^#func ([A-Za-z0-9_]+) ([A-Za-z0-9_]+) [a-z]+,[a-z]+,[a-z]+,[a-z]+$" AND
       CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
      list(APPEND declared "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^#func _([A-Za-z0-9_]+) \"([A-Za-z0-9_]+)\" [a-z]+,[a-z]+,[a-z]+,[a-z]+$" AND
           CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
      list(APPEND imported "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^#deffunc ([A-Za-z0-9_]+)( |$)")
      list(APPEND commands "${CMAKE_MATCH_1}")
    elseif(NOT line MATCHES "^#(uselib \"(Tavikit.DLL|Tavikit64.DLL|libtavikit.so.2)\"|ifn?def [_A-Za-z0-9]+|define __TAVIKIT_AS__|else|endif|module tavikit|global)$")
      string(APPEND errors "${DECLARATIONS}: not a declaration of an export: ${line}\n")
    endif()
  endforeach()
  check_names("Windows declarations of ${DECLARATIONS}" declared)
  check_names("Linux imports of ${DECLARATIONS}" imported)
  check_names("Linux commands of ${DECLARATIONS}" commands)
endif()

# A help source read by the rules of HSP's help format: its keywords, the fields of each entry
# ("%index;%group;%prm;..."), its %dll, and whether it is all ASCII and valid UTF-8.
function(read_help path prefix)
  file(READ "${path}" text)
  file(READ "${path}" hex HEX)
  # Valid UTF-8: nothing is left once every well-formed sequence is taken out (a byte that starts
  # none is left behind, since the search then steps one digit on).
  string(REGEX REPLACE "([0-7][0-9a-f]|(c[2-9a-f]|d[0-9a-f])[89ab][0-9a-f]|(e0[ab][0-9a-f]|e[1-9a-cef][89ab][0-9a-f]|ed[89][0-9a-f])[89ab][0-9a-f]|(f0[9ab][0-9a-f]|f[1-3][89ab][0-9a-f]|f48[0-9a-f])[89ab][0-9a-f][89ab][0-9a-f])"
         "" invalid "${hex}")
  if(invalid)
    string(SUBSTRING "${invalid}" 0 16 invalid)
    set(invalid "not valid UTF-8 (${invalid}...)")
  endif()
  # The same way, anything left once every ASCII byte is taken out is a wider character.
  string(REGEX REPLACE "[0-7][0-9a-f]" "" wide "${hex}")
  # Line by line, with the characters that would split or join CMake list items taken out.
  string(ASCII 1 semicolon)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REGEX REPLACE "[][\\]" "_" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(tag "")
  set(keywords "")
  set(dll "")
  set(problems "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "\r$" "" line "${line}")
    if(line MATCHES "^${semicolon}")
      continue()
    elseif(line MATCHES "^%([a-z]+)")
      set(tag "${CMAKE_MATCH_1}")
      set(field_line 0)
      if(tag STREQUAL "index")
        set(keyword "")
      elseif(keyword)
        list(APPEND fields_${keyword} "${tag}")
      endif()
    else()
      math(EXPR field_line "${field_line} + 1")
      if(tag STREQUAL "index" AND field_line EQUAL 1)
        set(keyword "${line}")
        list(APPEND keywords "${line}")
        set(fields_${keyword} index)
      elseif(tag STREQUAL "index" AND field_line EQUAL 2 AND NOT line STREQUAL "")
        set(titled_${keyword} TRUE)
      elseif(tag STREQUAL "dll" AND field_line EQUAL 1)
        set(dll "${line}")
      endif()
    endif()
  endforeach()
  foreach(keyword IN LISTS keywords)
    if(NOT titled_${keyword})
      string(APPEND problems "${keyword} has no title; ")
    endif()
    foreach(tag IN ITEMS group prm inst sample)
      if(NOT tag IN_LIST fields_${keyword})
        string(APPEND problems "${keyword} has no %${tag}; ")
      endif()
    endforeach()
    string(REPLACE ";" "," fields "${fields_${keyword}}")
    list(APPEND entries "${keyword}:${fields}")
  endforeach()
  set(${prefix}_keywords "${keywords}" PARENT_SCOPE)
  set(${prefix}_entries "${entries}" PARENT_SCOPE)
  set(${prefix}_dll "${dll}" PARENT_SCOPE)
  set(${prefix}_problems "${problems}" PARENT_SCOPE)
  set(${prefix}_invalid "${invalid}" PARENT_SCOPE)
  set(${prefix}_wide "${wide}" PARENT_SCOPE)
endfunction()

foreach(help IN ITEMS HELP HELP_EN)
  if(NOT ${help})
    continue()
  endif()
  read_help("${${help}}" ${help})
  if(NOT ${help}_dll STREQUAL "Tavikit")
    string(APPEND errors "${${help}}: %dll is \"${${help}_dll}\", not Tavikit\n")
  endif()
  if(${help}_problems OR ${help}_invalid)
    string(APPEND errors "${${help}}: ${${help}_problems}${${help}_invalid}\n")
  endif()
  check_names("entries of ${${help}}" ${help}_keywords)
endforeach()
if(HELP AND HELP_EN)
  # The Japanese help beside its English translation: the same keywords and fields, in the same
  # order; the one in Japanese, the other in English only.
  if(NOT HELP_entries STREQUAL HELP_EN_entries)
    string(APPEND errors "${HELP} and ${HELP_EN} differ in their entries or their fields\n")
  endif()
  if(NOT HELP_wide)
    string(APPEND errors "${HELP} holds no Japanese\n")
  endif()
  if(HELP_EN_wide)
    string(APPEND errors "${HELP_EN} holds more than ASCII\n")
  endif()
endif()

if(DESCRIPTION)
  # Reading the description stops with a message naming every field missing in a language.
  include("${CMAKE_CURRENT_LIST_DIR}/TavikitReference.cmake")
  set(TAVIKIT_REFERENCE_SOURCE "${DESCRIPTION}")
  tavikit_read_reference()
  list(LENGTH TK_exports count)
  string(APPEND summary " entries of ${DESCRIPTION} in ${TAVIKIT_LANGUAGES}: ${count};")
endif()

if(errors)
  message(FATAL_ERROR "${errors}")
endif()
message(STATUS "names checked against the export table:${summary}")
