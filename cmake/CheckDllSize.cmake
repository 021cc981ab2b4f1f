# Checks that Tavikit.DLL, stripped as the release ships it, stays within its size budget; the
# stripped copy keeps the export table and the version resource (the dll_exports check reads it).
#   cmake -DDLL=Tavikit.DLL -DSTRIP=i686-w64-mingw32-strip -DSTRIPPED=out.DLL -DLIMIT=204800
#         [-DOBJDUMP=...] -P CheckDllSize.cmake
get_filename_component(folder "${STRIPPED}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND "${STRIP}" -o "${STRIPPED}" "${DLL}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${STRIP} failed on ${DLL}")
endif()
file(SIZE "${STRIPPED}" size)
if(size GREATER LIMIT)
  message(FATAL_ERROR "${DLL} stripped is ${size} bytes, over the budget of ${LIMIT}")
endif()
if(OBJDUMP)
  execute_process(COMMAND "${CMAKE_COMMAND}" "-DDLL=${STRIPPED}" "-DOBJDUMP=${OBJDUMP}"
                          -P "${CMAKE_CURRENT_LIST_DIR}/CheckDllExports.cmake" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the stripped ${STRIPPED} fails the export check")
  endif()
endif()
message(STATUS "${DLL} stripped: ${size} bytes (budget ${LIMIT})")
