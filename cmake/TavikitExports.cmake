# Reads the export table (include/tavikit_exports.h) so that build files and checks take their
# names from the one list the code uses.
#
#   tavikit_read_exports(<names-var> <aliases-var>)
#     <names-var>   every exported name, in table order
#     <aliases-var> "name=entry" for each name that shares the entry point of another

set(TAVIKIT_EXPORTS_HEADER "${CMAKE_CURRENT_LIST_DIR}/../include/tavikit_exports.h")

# The complete table: 81 names on 78 entry points (four names share one entry).
set(TAVIKIT_EXPORT_NAME_COUNT 81)
set(TAVIKIT_EXPORT_ENTRY_COUNT 78)

function(tavikit_read_exports names_var aliases_var)
  file(READ "${TAVIKIT_EXPORTS_HEADER}" text)
  # The table proper lies between the clang-format markers; the comments above it show the
  # notation and must not be read as entries.
  string(FIND "${text}" "clang-format off" begin)
  string(FIND "${text}" "clang-format on" end)
  math(EXPR length "${end} - ${begin}")
  string(SUBSTRING "${text}" ${begin} ${length} table)
  string(REGEX MATCHALL "[ \t(]X\\([A-Za-z_][A-Za-z0-9_]*\\)|[ \t(]A\\([A-Za-z_][A-Za-z0-9_]*, *[A-Za-z_][A-Za-z0-9_]*\\)" entries "${table}")
  set(names "")
  set(aliases "")
  foreach(entry IN LISTS entries)
    if(entry MATCHES "X\\(([A-Za-z0-9_]+)\\)")
      list(APPEND names "${CMAKE_MATCH_1}")
    elseif(entry MATCHES "A\\(([A-Za-z0-9_]+), *([A-Za-z0-9_]+)\\)")
      list(APPEND names "${CMAKE_MATCH_1}")
      list(APPEND aliases "${CMAKE_MATCH_1}=${CMAKE_MATCH_2}")
    endif()
  endforeach()
  set(${names_var} "${names}" PARENT_SCOPE)
  set(${aliases_var} "${aliases}" PARENT_SCOPE)
endfunction()

# Compares the names a check found with the table and appends what differs to <errors-var>; also
# holds the table itself to its full size.
#
#   tavikit_compare_exports(<errors-var> <what> <found-var> [PREFIX p] [SUFFIX s]
#                           [ADDRESSES <addresses-var>])
#     <what>          what the names were found in, for the message
#     <found-var>     the names found, each expected as p<name>s
#     <addresses-var> the address of each name found, in the same order: then the names must lie
#                     on 78 distinct addresses, each shared name on the address of its entry
function(tavikit_compare_exports errors_var what found_var)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "PREFIX;SUFFIX;ADDRESSES" "")
  tavikit_read_exports(names aliases)
  set(errors "${${errors_var}}")
  list(LENGTH names name_count)
  list(LENGTH aliases alias_count)
  math(EXPR entry_count "${name_count} - ${alias_count}")
  if(NOT name_count EQUAL TAVIKIT_EXPORT_NAME_COUNT OR
     NOT entry_count EQUAL TAVIKIT_EXPORT_ENTRY_COUNT)
    string(APPEND errors "the export table has ${name_count} names on ${entry_count} entry points,"
           " not ${TAVIKIT_EXPORT_NAME_COUNT} on ${TAVIKIT_EXPORT_ENTRY_COUNT}\n")
  endif()
  set(expected "")
  foreach(name IN LISTS names)
    list(APPEND expected "${arg_PREFIX}${name}${arg_SUFFIX}")
  endforeach()
  set(found ${${found_var}})
  list(SORT expected)
  list(SORT found)
  if(NOT found STREQUAL expected)
    set(missing ${expected})
    list(REMOVE_ITEM missing ${found})
    set(extra ${found})
    list(REMOVE_ITEM extra ${expected})
    string(APPEND errors "${what} differ from the export table\n  missing: ${missing}\n"
           "  not in the table: ${extra}\n")
  endif()
  if(arg_ADDRESSES)
    set(addresses ${${arg_ADDRESSES}})
    foreach(alias IN LISTS aliases)
      string(REPLACE "=" ";" pair "${alias}")
      set(at "")
      foreach(name IN LISTS pair)
        list(FIND ${found_var} "${arg_PREFIX}${name}${arg_SUFFIX}" index)
        if(index GREATER_EQUAL 0)
          list(GET addresses ${index} address)
          list(APPEND at "${address}")
        endif()
      endforeach()
      list(REMOVE_DUPLICATES at)
      list(LENGTH at distinct)
      if(NOT distinct EQUAL 1)
        string(APPEND errors "${alias}: not one shared entry point (${at})\n")
      endif()
    endforeach()
    list(REMOVE_DUPLICATES addresses)
    list(LENGTH addresses address_count)
    if(NOT address_count EQUAL TAVIKIT_EXPORT_ENTRY_COUNT)
      string(APPEND errors "${address_count} entry points, expected ${TAVIKIT_EXPORT_ENTRY_COUNT}\n")
    endif()
  endif()
  set(${errors_var} "${errors}" PARENT_SCOPE)
endfunction()

# Writes the module-definition file of the DLL named TAVIKIT_DLL_NAME. Tavikit.DLL (32-bit):
# every name exported in its decorated standard-call form _name@16 and no other form (the linker
# adds the leading underscore to internal symbol names, so the internal side of each line is
# written without it). Tavikit64.DLL (64-bit, one calling convention, no decoration): every name
# under itself and again as _name@16, both on the one entry point.
function(tavikit_write_def path)
  tavikit_read_exports(names aliases)
  set(def "LIBRARY \"${TAVIKIT_DLL_NAME}\"\nEXPORTS\n")
  foreach(name IN LISTS names)
    set(entry "${name}")
    foreach(alias IN LISTS aliases)
      if(alias MATCHES "^${name}=(.+)$")
        set(entry "${CMAKE_MATCH_1}")
      endif()
    endforeach()
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      if(entry STREQUAL name)
        string(APPEND def "  ${name}\n")
      else()
        string(APPEND def "  ${name} = ${entry}\n")
      endif()
      string(APPEND def "  _${name}@16 = ${entry}\n")
    else()
      string(APPEND def "  _${name}@16 = ${entry}@16\n")
    endif()
  endforeach()
  file(WRITE "${path}.tmp" "${def}")
  file(COPY_FILE "${path}.tmp" "${path}" ONLY_IF_DIFFERENT)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${TAVIKIT_EXPORTS_HEADER}")
endfunction()

# Writes the module-definition file of the SDK, from which an import library is made. Tavikit.DLL:
# each export as the C name a caller's compiler refers to (name@16) imported under the DLL's
# exported name (_name@16). Tavikit64.DLL: each export under its plain name, as a caller refers to
# it.
function(tavikit_write_import_def path)
  tavikit_read_exports(names aliases)
  set(def "LIBRARY \"${TAVIKIT_DLL_NAME}\"\nEXPORTS\n")
  foreach(name IN LISTS names)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      string(APPEND def "  ${name}\n")
    else()
      string(APPEND def "  ${name}@16 == _${name}@16\n")
    endif()
  endforeach()
  file(WRITE "${path}.tmp" "${def}")
  file(COPY_FILE "${path}.tmp" "${path}" ONLY_IF_DIFFERENT)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${TAVIKIT_EXPORTS_HEADER}")
endfunction()
