# The declaration file an HSP script includes to call the library (tavikit.as), written from the
# export table (include/tavikit_exports.h) and the description of the exports (docs/exports.txt):
# each export's parameter kinds and the notes above its declaration. One file for every runtime:
# HSP's 64-bit runtime (__hsp64__, from the hsp3_64.as a 64-bit script includes first) loads
# Tavikit64.DLL, the Linux runtimes (_hsplinux) libtavikit.so.2, the others Tavikit.DLL.
#
#   tavikit_write_script_declarations(<path>)
#   tavikit_write_screen_exports(<path>)    a C header for hosts that run script lines (the tool's
#                                           gallery): TAVIKIT_SCREEN_EXPORTS(X), X(name) for each
#                                           export declared with bmscr, in table order
#
# For Windows every export is declared in the HSP 2.x-compatible form: the import name without
# quotes, which the compiler turns into _name@16 (both DLLs export that name). In this form `stat`
# receives minus the export's result, and a positive result is taken as a wait request
# (0x10000 | n: n x 10 ms, 0x20000 | n: n ms) or else raises HSP error 38. Every export returns 0
# or a negative value for the arguments a script gives it; the one exception is noted in the
# description. A shared library has no _name@16, so on Linux each export is imported under its
# quoted plain name as _name (where `stat` would be the result as it is) and the script calls a
# command of the same name as on Windows, which calls _name and returns minus its result: the same
# `stat` in every runtime.
#
# Parameter kinds, as the compiler's type words, from the description's argument words:
#   bmscr    (screen) word 1 is the current screen's record (the screen chosen with gsel); the
#            script gives only the other three arguments
#   str      a name or a pack text
#   var      a variable: the library reads or writes its memory (and some exports keep its
#            address: tavi_InitBGMAP, tavi_DMSupportSet)
#   prefstr  (refstr) word 4 points to refstr
#   int      any other word, ignored ones included
include("${CMAKE_CURRENT_LIST_DIR}/TavikitReference.cmake")

# The parameter kinds of export <name>, one a word, into <out>; after tavikit_read_reference().
function(tavikit_script_kinds out name)
  set(kinds "")
  foreach(arg IN LISTS TK_${name}_args)
    if(arg MATCHES "^screen")
      list(APPEND kinds bmscr)
    elseif(arg MATCHES "^refstr ")
      list(APPEND kinds prefstr)
    elseif(arg MATCHES "^(str|var) ")
      list(APPEND kinds "${CMAKE_MATCH_1}")
    else()
      list(APPEND kinds int)
    endif()
  endforeach()
  set(${out} "${kinds}" PARENT_SCOPE)
endfunction()

# The Linux command that stands for export <name> with parameter <kinds> (a list), into <out>:
# the parameters a script gives (a screen and refstr are passed by the runtime), the call of the
# quoted import and minus its result as stat.
function(tavikit_script_linux_command out name kinds)
  set(params "")
  set(args "")
  set(index 0)
  foreach(kind IN LISTS kinds)
    math(EXPR index "${index} + 1")
    if(kind MATCHES "^(int|str|var)$")
      list(APPEND params "${kind} p${index}")
      list(APPEND args "p${index}")
    endif()
  endforeach()
  list(JOIN params ", " params)
  list(JOIN args ", " args)
  string(STRIP "#deffunc ${name} ${params}" head)
  string(STRIP "_${name}@ ${args}" call)
  set(${out} "${head}\n\t${call}\n\treturn -stat\n" PARENT_SCOPE)
endfunction()

function(tavikit_write_script_declarations path)
  tavikit_read_exports(names aliases)
  tavikit_read_reference()
  foreach(name IN LISTS names)
    tavikit_script_kinds(kinds ${name})
    string(REPLACE ";" "," kinds_${name} "${kinds}")
    tavikit_script_linux_command(linux_${name} ${name} "${kinds}")
    if(DEFINED TK_${name}_note)
      string(REPLACE "\n" "\n; " note "; ${TK_${name}_note}")
      set(note_${name} "${note}\n")
    endif()
  endforeach()

  set(text [=[
; tavikit.as - the library's exports for HSP scripts, in every runtime: Tavikit.DLL in HSP's
; 32-bit runtimes, Tavikit64.DLL in its 64-bit runtime (hsp3_64), libtavikit.so.2 in the Linux
; runtimes (hsp3cl). Written by the build from the library's export table and the description of
; its exports; do not edit.
;
;     #include "tavikit.as"                          ; 32-bit Windows, Linux
;
;     #include "hsp3_64.as"                          ; 64-bit Windows: first, so that
;     #include "tavikit.as"                          ; __hsp64__ chooses Tavikit64.DLL
;
; On Windows every export is declared in the HSP 2.x-compatible form (the import name without
; quotes, _name@16, which both DLLs export), so `stat` receives minus the export's result: the
; values the library reports come back as they are (tavi_dsgetfreq: stat = 22050), success is
; stat = 0, and failures are small positive codes (1 for a bad index, a missing sound device or a
; failed load, 2 for playing an empty slot, 100 when memory ran out). A positive result would be
; taken as a wait request or raise error 38; no export returns one except where a note says so,
; and none needs the other form (a quoted "_name@16" with a type list, where stat is the result as
; it is). On Linux, where a library has only plain names, each export is imported as _name under
; its quoted name and a command of the export's own name calls it and gives the same stat.
;
; Parameters: exports whose first word is a screen take the current screen (the one chosen with
; gsel) and the script gives the other three arguments; names and pack texts are strings; words
; the library reads or writes through an address are variables; the version text goes to refstr.
; Arguments an export ignores may be left out. A console runtime has no screens (hsp3cl passes
; none for the current screen): there the exports that take one do nothing and return 0, except
; tavi_dsinit, which opens the sound device without a window.

#ifndef __TAVIKIT_AS__
#define __TAVIKIT_AS__
#ifdef _hsplinux
#uselib "libtavikit.so.2"
]=])
  foreach(name IN LISTS names)
    string(APPEND text "#func _${name} \"${name}\" ${kinds_${name}}\n")
  endforeach()
  string(APPEND text "#module tavikit\n")
  foreach(name IN LISTS names)
    string(APPEND text "${linux_${name}}")
  endforeach()
  string(APPEND text "#global\n#else\n#ifdef __hsp64__\n#uselib \"Tavikit64.DLL\"\n#else\n"
                     "#uselib \"Tavikit.DLL\"\n#endif\n")
  foreach(name IN LISTS names)
    if(DEFINED note_${name})
      string(APPEND text "${note_${name}}")
    endif()
    string(APPEND text "#func ${name} ${name} ${kinds_${name}}\n")
  endforeach()
  string(APPEND text "#endif\n#endif\n")
  tavikit_write_if_changed("${path}" "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${TAVIKIT_EXPORTS_HEADER}"
                                                                 "${CMAKE_CURRENT_FUNCTION_LIST_FILE}")
endfunction()

function(tavikit_write_screen_exports path)
  tavikit_read_exports(names aliases)
  tavikit_read_reference()
  set(entries "")
  foreach(name IN LISTS names)
    tavikit_script_kinds(kinds ${name})
    list(GET kinds 0 first)
    if(first STREQUAL "bmscr")
      string(APPEND entries " \\\n  X(${name})")
    endif()
  endforeach()
  set(text [=[
/* tavikit_screen_exports.h - the exports whose first word is the current screen, as tavikit.as
 * declares them (bmscr): a script line leaves that word out, and the host that runs the line
 * passes the screen chosen with gsel. Written by the build from the library's export table and
 * the description of its exports; do not edit.
 *
 *   X(name)   an export that takes the current screen
 */
#ifndef TAVIKIT_SCREEN_EXPORTS_H
#define TAVIKIT_SCREEN_EXPORTS_H

]=])
  string(APPEND text "#define TAVIKIT_SCREEN_EXPORTS(X)${entries}\n\n#endif\n")
  tavikit_write_if_changed("${path}" "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${TAVIKIT_EXPORTS_HEADER}"
                                                                 "${CMAKE_CURRENT_FUNCTION_LIST_FILE}")
endfunction()
