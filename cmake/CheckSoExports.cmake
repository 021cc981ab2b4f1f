# Checks that the shared library exports exactly the names of the export table, plain, on as many
# distinct addresses as the table has entry points (the names that share an entry are aliases).
#   cmake -DLIB=libtavikit.so -DNM=nm -P CheckSoExports.cmake
include("${CMAKE_CURRENT_LIST_DIR}/TavikitExports.cmake")

execute_process(COMMAND "${NM}" -D --defined-only "${LIB}" OUTPUT_VARIABLE out
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIB}")
endif()
string(REGEX MATCHALL "[0-9a-f]+ [TW] [A-Za-z_][A-Za-z0-9_@.]*" lines "${out}")
set(actual "")
set(addresses "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^([0-9a-f]+) [TW] (.*)$" "\\1;\\2" fields "${line}")
  list(GET fields 0 address)
  list(GET fields 1 name)
  if(NOT name MATCHES "^_(init|fini)$")
    list(APPEND actual "${name}")
    list(APPEND addresses "${address}")
  endif()
endforeach()

set(errors "")
tavikit_compare_exports(errors "exported names" actual ADDRESSES addresses)
list(REMOVE_DUPLICATES addresses)
list(LENGTH addresses entry_count)
if(errors)
  message(FATAL_ERROR "${LIB}:\n${errors}")
endif()
list(LENGTH actual count)
message(STATUS "${LIB}: ${count} names on ${entry_count} entry points, as the table lists them")
