# The declaration file an HSP script includes to call Tavikit.DLL (tavikit.as), written from the
# export table (include/tavikit_exports.h) and the parameter kinds below.
#
#   tavikit_write_script_declarations(<path>)
#
# Every export is declared in the HSP 2.x-compatible form: the import name without quotes, which
# the compiler turns into _name@16. In this form `stat` receives minus the export's result, and a
# positive result is taken as a wait request (0x10000 | n: n x 10 ms, 0x20000 | n: n ms) or else
# raises HSP error 38. Every export returns 0 or a negative value for the arguments a script gives
# it; the one exception is noted in TAVIKIT_SCRIPT_NOTES.

# Parameter kinds of the exports that take more than four integers, as the compiler's type words:
#   bmscr    word 1 is the current screen's record (the screen chosen with gsel); the script
#            gives only the other three arguments
#   str      a name or a pack text
#   var      a variable: the library reads or writes its memory (and some exports keep its
#            address: tavi_InitBGMAP, tavi_DMSupportSet)
#   prefstr  word 4 points to refstr
# Every export not listed takes int,int,int,int.
set(TAVIKIT_SCRIPT_PARAMS
  "tavi_GetTaviVER int,int,int,prefstr"
  "tavi_fset bmscr,int,int,int"
  "tavi_tset bmscr,int,int,int"
  "tavi_AlphaInit bmscr,int,int,int"
  "tavi_addset bmscr,int,int,int"
  "tavi_decset bmscr,int,int,int"
  "tavi_edecset bmscr,int,int,int"
  "tavi_gcopya bmscr,int,int,int"
  "tavi_gcopyf bmscr,int,int,int"
  "tavi_gcopyfc bmscr,int,int,int"
  "tavi_gcopyfr bmscr,int,int,int"
  "tavi_gcopyfrc bmscr,int,int,int"
  "tavi_GFade2 var,int,int,int"
  "tavi_gmozic bmscr,int,int,int"
  "tavi_gmozice bmscr,int,int,int"
  "tavi_gmozicn bmscr,int,int,int"
  "tavi_MeshBOX bmscr,int,int,int"
  "chibi_Put bmscr,int,int,int"
  "chibi_PutM bmscr,int,int,int"
  "chibi_Get bmscr,int,int,int"
  "chibi_GetF bmscr,int,int,int"
  "chibi_LoadTK int,str,int,str"
  "chibi_LoadTKX int,str,int,int"
  "tavi_dpminit int,int,int,str"
  "tavi_PCP2Load bmscr,str,int,str"
  "tavi_PCP2BLoad bmscr,str,int,str"
  "tavi_GetTKXFormat int,str,int,str"
  "tavi_PCPDecode bmscr,int,int,int"
  "tavi_DMSupportSet var,int,int,int"
  "tavi_DMSupportXOR var,int,int,int"
  "tavi_dsinit bmscr,int,int,int"
  "tavi_dsload str,int,int,str"
  "tavi_dsloadB str,int,int,str"
  "tavi_dsgetpos var,int,int,int"
  "tavi_JoyGet var,int,int,int"
  "tavi_InitBGMAP var,int,int,int"
  "tavi_ChkBGMAP var,int,int,int"
  "tavi_frename str,str,int,int"
  "tavi_fattrib int,str,int,int"
  "tavi_fgetattr var,str,int,int")

# Comment lines written above an export's declaration.
# Comment lines written above an export's declaration, in order.
set(TAVIKIT_SCRIPT_NOTES
  "chibi_GetInfo|A negative width or height (capture sizes below 0) comes back as a positive result,"
  "chibi_GetInfo|which this form takes as a wait or error 38: capture cells with sizes of 0 or more."
  "tavi_dsgetpos|The variable receives the write cursor, stat the play cursor."
  "tavi_InitBGMAP|The library keeps the map variable's address: do not dim it again while in use."
  "tavi_DMSupportSet|The library keeps the variable's address: do not dim it again while in use.")

function(tavikit_write_script_declarations path)
  tavikit_read_exports(names aliases)
  set(kinds_of "")
  foreach(entry IN LISTS TAVIKIT_SCRIPT_PARAMS)
    string(REGEX MATCH "^([A-Za-z0-9_]+) ([a-z,]+)$" matched "${entry}")
    if(NOT matched OR NOT CMAKE_MATCH_1 IN_LIST names)
      message(FATAL_ERROR "tavikit.as: parameter kinds for an unknown export: ${entry}")
    endif()
    set(kinds_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
  endforeach()
  foreach(entry IN LISTS TAVIKIT_SCRIPT_NOTES)
    string(REGEX MATCH "^([A-Za-z0-9_]+)\\|(.+)$" matched "${entry}")
    if(NOT matched OR NOT CMAKE_MATCH_1 IN_LIST names)
      message(FATAL_ERROR "tavikit.as: a note for an unknown export: ${entry}")
    endif()
    string(APPEND note_${CMAKE_MATCH_1} "; ${CMAKE_MATCH_2}\n")
  endforeach()

  set(text [=[
; tavikit.as - Tavikit.DLL's exports for HSP scripts. Written by the build from the library's
; export table; do not edit.
;
;     #include "tavikit.as"
;
; Every export is declared in the HSP 2.x-compatible form (the import name without quotes), so
; `stat` receives minus the export's result: the values the library reports come back as they
; are (tavi_dsgetfreq: stat = 22050), success is stat = 0, and failures are small positive codes
; (1 for a bad index, a missing sound device or a failed load, 2 for playing an empty slot, 100
; when memory ran out). A positive result would be taken as a wait request or raise error 38; no
; export returns one except where a note says so, and none needs the other form (a quoted
; "_name@16" with a type list, where stat is the result as it is).
;
; Parameters: exports whose first word is a screen take the current screen (the one chosen with
; gsel) and the script gives the other three arguments; names and pack texts are strings; words
; the library reads or writes through an address are variables; the version text goes to refstr.
; Arguments an export ignores may be left out.

#ifndef __TAVIKIT_AS__
#define __TAVIKIT_AS__
#uselib "Tavikit.DLL"
]=])
  foreach(name IN LISTS names)
    if(DEFINED note_${name})
      string(APPEND text "${note_${name}}")
    endif()
    set(kinds "int,int,int,int")
    if(DEFINED kinds_${name})
      set(kinds "${kinds_${name}}")
    endif()
    string(APPEND text "#func ${name} ${name} ${kinds}\n")
  endforeach()
  string(APPEND text "#endif\n")
  file(WRITE "${path}.tmp" "${text}")
  file(COPY_FILE "${path}.tmp" "${path}" ONLY_IF_DIFFERENT)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${TAVIKIT_EXPORTS_HEADER}"
                                                                 "${CMAKE_CURRENT_FUNCTION_LIST_FILE}")
endfunction()
