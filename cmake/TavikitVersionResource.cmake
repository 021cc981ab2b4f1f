# The copyright of the Windows version resources (Tavikit.DLL, tavikit.exe), taken from the
# licence, and a check of the string values a module's version resource holds.
#
#   tavikit_legal_copyright(<var>)    "Copyright (c) 2026 the Tavikit authors, zlib licence"
#   tavikit_check_version_strings(<errors-var> <module> <key=value>...)
#
# In script mode it checks a module's strings, LegalCopyright among them:
#   cmake -DMODULE=tavikit.exe "-DSTRINGS=OriginalFilename=tavikit.exe|..." -P TavikitVersionResource.cmake
set(TAVIKIT_LICENSE "${CMAKE_CURRENT_LIST_DIR}/../LICENSE")

function(tavikit_legal_copyright var)
  file(STRINGS "${TAVIKIT_LICENSE}" line REGEX "^Copyright \\(c\\) " LIMIT_COUNT 1)
  if(NOT line)
    message(FATAL_ERROR "${TAVIKIT_LICENSE} has no copyright line")
  endif()
  set(${var} "${line}, zlib licence" PARENT_SCOPE)
endfunction()

# Each value is stored as UTF-16: the key, its terminating zero, padding to a 4-byte boundary,
# then the value with its zero.
function(tavikit_check_version_strings errors_var module)
  file(READ "${module}" hex HEX)
  set(errors "")
  foreach(pair IN LISTS ARGN)
    string(FIND "${pair}" "=" at)
    string(SUBSTRING "${pair}" 0 ${at} key)
    math(EXPR at "${at} + 1")
    string(SUBSTRING "${pair}" ${at} -1 value)
    foreach(text IN ITEMS key value)
      string(HEX "${${text}}" plain)
      string(REGEX REPLACE "(..)" "\\100" ${text}_hex "${plain}")
    endforeach()
    if(NOT hex MATCHES "${key_hex}0000(0000)?${value_hex}0000")
      string(APPEND errors "version string ${key} is not \"${value}\"\n")
    endif()
  endforeach()
  set(${errors_var} "${${errors_var}}${errors}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  tavikit_legal_copyright(copyright)
  string(REPLACE "|" ";" strings "${STRINGS}")
  set(errors "")
  tavikit_check_version_strings(errors "${MODULE}" ${strings} "LegalCopyright=${copyright}")
  if(errors)
    message(FATAL_ERROR "${MODULE}:\n${errors}")
  endif()
  message(STATUS "${MODULE}: version strings and \"${copyright}\"")
endif()
