# Checks Tavikit.DLL or Tavikit64.DLL against the export table and the module's fixed identity:
#  - Tavikit.DLL (PE32): every table name exported as _name@16, and no other name (no plain or
#    name@16 forms); Tavikit64.DLL (PE32+): every table name under itself and as _name@16, both
#    on one entry point (162 names), and no other name;
#  - the table complete: 81 names, on 78 entry points in the library;
#  - the export directory's module name, the file's name;
#  - no import from a compiler runtime DLL;
#  - the version resource: 2.1.1.0 and its string fields, the copyright of LICENSE among them.
#   cmake -DDLL=Tavikit.DLL -DOBJDUMP=i686-w64-mingw32-objdump -P CheckDllExports.cmake
include("${CMAKE_CURRENT_LIST_DIR}/TavikitExports.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/TavikitVersionResource.cmake")

execute_process(COMMAND "${OBJDUMP}" -p "${DLL}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p failed on ${DLL}")
endif()
set(errors "")
# Square brackets would split CMake list items oddly: read them as angle brackets.
string(REPLACE "[" "<" dump "${dump}")
string(REPLACE "]" ">" dump "${dump}")

# Entry points: the export address table lists "<  i> +base< o> rva Export RVA".
string(REGEX MATCHALL "\\+base< *[0-9]+> +[0-9a-f]+ Export RVA" rva_rows "${dump}")
set(rvas "")
foreach(row IN LISTS rva_rows)
  string(REGEX REPLACE ".*> +([0-9a-f]+) Export RVA" "\\1" rva "${row}")
  list(APPEND rvas "${rva}")
endforeach()

# Exported names: the <Ordinal/Name Pointer> table lists "<  i> name", i indexing the addresses.
string(FIND "${dump}" "<Ordinal/Name Pointer> Table" at)
if(at LESS 0)
  message(FATAL_ERROR "${DLL} has no export name table")
endif()
string(SUBSTRING "${dump}" ${at} -1 tail)
string(REGEX MATCH "Table\n(\t< *[0-9]+> [^\n]+\n)+" block "${tail}")
string(REGEX MATCHALL "< *[0-9]+> [^\n]+" rows "${block}")
set(actual "")
set(addresses "")
foreach(row IN LISTS rows)
  string(REGEX MATCH "^< *([0-9]+)> (.+)$" fields "${row}")
  list(APPEND actual "${CMAKE_MATCH_2}")
  list(GET rvas ${CMAKE_MATCH_1} rva)
  list(APPEND addresses "${rva}")
endforeach()
get_filename_component(module "${DLL}" NAME)
if(dump MATCHES "\nMagic[ \t]+020b")
  # PE32+: the plain names and the decorated ones, each pair on one address.
  set(decorated "")
  set(decorated_addresses "")
  set(plain "")
  set(plain_addresses "")
  foreach(name address IN ZIP_LISTS actual addresses)
    if(name MATCHES "^_(.+)@16$")
      list(APPEND decorated "${name}")
      list(APPEND decorated_addresses "${address}")
    else()
      list(APPEND plain "${name}")
      list(APPEND plain_addresses "${address}")
    endif()
  endforeach()
  tavikit_compare_exports(errors "decorated names" decorated PREFIX "_" SUFFIX "@16"
                          ADDRESSES decorated_addresses)
  tavikit_compare_exports(errors "plain names" plain ADDRESSES plain_addresses)
  foreach(name address IN ZIP_LISTS plain plain_addresses)
    list(FIND decorated "_${name}@16" index)
    if(index GREATER_EQUAL 0)
      list(GET decorated_addresses ${index} twin)
      if(NOT twin STREQUAL address)
        string(APPEND errors "${name} and _${name}@16 lie on different entry points\n")
      endif()
    endif()
  endforeach()
  math(EXPR expected_names "2 * ${TAVIKIT_EXPORT_NAME_COUNT}")
else()
  tavikit_compare_exports(errors "exported names" actual PREFIX "_" SUFFIX "@16" ADDRESSES addresses)
  set(expected_names ${TAVIKIT_EXPORT_NAME_COUNT})
endif()
list(LENGTH actual name_count)
if(NOT name_count EQUAL expected_names)
  string(APPEND errors "${name_count} exported names, expected ${expected_names}\n")
endif()
list(REMOVE_DUPLICATES addresses)
list(LENGTH addresses entry_count)

string(REPLACE "." "\\." module_pattern "${module}")
if(NOT dump MATCHES "\nName[ \t]+[0-9a-f]+ ${module_pattern}\n")
  string(APPEND errors "export directory module name is not ${module}\n")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  if(import MATCHES "(libgcc|libstdc|libwinpthread|pthread)")
    string(APPEND errors "imports a compiler runtime: ${import}\n")
  endif()
endforeach()

# Version resource: VS_FIXEDFILEINFO (signature FEEF04BD, then struct version, then file and
# product versions as high/low dwords: 2.1 and 1.0) and the UTF-16 string values.
file(READ "${DLL}" hex HEX)
if(NOT hex MATCHES "bd04effe0000010001000200000001000100020000000100")
  string(APPEND errors "no fixed version info 2.1.1.0 for file and product\n")
endif()
tavikit_legal_copyright(copyright)
tavikit_check_version_strings(errors "${DLL}" "FileDescription=${module}" "InternalName=${module}"
                              "OriginalFilename=${module}" "ProductName=${module}"
                              "FileVersion=2, 1, 1, 0" "ProductVersion=2, 1, 1, 0"
                              "LegalCopyright=${copyright}")

if(errors)
  message(FATAL_ERROR "${DLL}:\n${errors}")
endif()
message(STATUS "${DLL}: ${name_count} names on ${entry_count} entry points, "
               "module ${module}, version 2.1.1.0, no runtime DLL imports")
