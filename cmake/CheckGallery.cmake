# Draws the gallery and compares every picture with its checksum in the list kept beside the
# pictures (docs/gallery/SHA256SUMS, as sha256sum writes it). The pictures drawn and the pictures
# listed must be the same set, and each must be named for an export of the reference.
#
#   cmake [-DEMULATOR="qemu-i386|-L|/"] -DPROGRAM=tavikit -DWORD=gallery -DOUT=dir
#         -DSUMS=docs/gallery/SHA256SUMS -DREFERENCE=docs/exports.md -P CheckGallery.cmake
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND ${emulator} "${PROGRAM}" ${WORD} -o "${OUT}" RESULT_VARIABLE status
                TIMEOUT 1200)
if(status MATCHES "timeout")
  message(FATAL_ERROR "the gallery was not drawn within 1200 s (${EMULATOR})")
elseif(NOT status EQUAL 0)
  message(FATAL_ERROR "the gallery was not drawn (exit status ${status})")
endif()

file(READ "${REFERENCE}" reference)
file(STRINGS "${SUMS}" lines)
set(listed "")
set(faults "")
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([0-9a-f]+)  ([A-Za-z0-9_]+)\\.png$")
    message(FATAL_ERROR "${SUMS}: not a line of sha256sum: ${line}")
  endif()
  set(sum "${CMAKE_MATCH_1}")
  set(name "${CMAKE_MATCH_2}")
  list(APPEND listed "${name}.png")
  string(FIND "${reference}" "\n### `${name}`\n" entry)
  if(entry EQUAL -1)
    list(APPEND faults "${name}.png: the reference has no entry ${name}")
  endif()
  if(NOT EXISTS "${OUT}/${name}.png")
    list(APPEND faults "${name}.png: not drawn")
    continue()
  endif()
  file(SHA256 "${OUT}/${name}.png" drawn)
  if(NOT drawn STREQUAL sum)
    list(APPEND faults "${name}.png: drawn as ${drawn}")
  endif()
endforeach()
file(GLOB drawn_files RELATIVE "${OUT}" "${OUT}/*")
foreach(file IN LISTS drawn_files)
  if(NOT file IN_LIST listed)
    list(APPEND faults "${file}: drawn but not listed")
  endif()
endforeach()

list(LENGTH listed count)
if(faults)
  list(JOIN faults "\n  " faults)
  message(FATAL_ERROR "the gallery in ${OUT} differs from ${SUMS}:\n  ${faults}\n"
                      "When a change alters a picture on purpose, draw the gallery into "
                      "docs/gallery again, write the checksums there with "
                      "'sha256sum *.png > SHA256SUMS' and say why in the commit.")
endif()
message(STATUS "${count} pictures drawn, each as its checksum says")
